#!/bin/bash
# Cross-checks packed executables with tools that share no code with the packer: binutils'
# objdump and windres read the headers and the resource tree, osslsigncode verifies a
# signature made with a throw-away certificate. Also the command-line contract: --help, the
# exit statuses, and the message when osslsigncode is missing.
# Usage: cross_check.sh PACKER_JAR SOURCE_ROOT
set -euo pipefail
packer="$1"
root="$2"
work=$(mktemp -d "${TMPDIR:-/tmp}/packer-cross.XXXXXX")
trap 'rm -rf "$work"' EXIT
java=$(command -v java)
failures=0
check() {  # check DESCRIPTION COMMAND...
    local what="$1"; shift
    if "$@" >"$work/check.out" 2>&1; then
        echo "ok: $what"
    else
        echo "FAIL: $what"; sed 's/^/    /' "$work/check.out"; failures=$((failures + 1))
    fi
}

mkdir -p "$work/classes"
javac --release 8 -nowarn -d "$work/classes" "$root/example/src/com/example/hello/HelloApp.java" \
    2>/dev/null
jar --create --file "$work/hello.jar" --main-class com.example.hello.HelloApp -C "$work/classes" .
cp "$root/example/HelloApp.ico" "$work/app.ico"
printf '[Application]\nCmd=--from-base\n' > "$work/base.ini"
code='{0F3A5D2C-8B4E-4C1A-9E7F-6D5B4A3C2B1E}'

"$java" -jar "$packer" --name Hello --jar "$work/hello.jar" --icon "$work/app.ico" \
    --version 2.5.0.7 --company "Example Ltd" --upgrade-code "$code" \
    --base-settings "$work/base.ini" --out "$work/dist" >/dev/null

for pair in Hello.exe:i686 Hello64.exe:x86_64; do
    exe="$work/dist/${pair%%:*}"
    arch="${pair##*:}"
    "$arch-w64-mingw32-objdump" -p "$exe" >"$work/headers" 2>"$work/headers.err"
    check "$arch objdump reads the headers and the resource tree of ${exe##*/}" \
        bash -c "contains() { grep -qF -- \"\$2\" \"\$1\"; }
                 contains '$work/headers' 'Resource Directory [.rsrc]' &&
                 contains '$work/headers' 'BASESETTINGS' && contains '$work/headers' '$code' &&
                 ! grep -qiE 'corrupt|unexpected|warning' '$work/headers' &&
                 [ ! -s '$work/headers.err' ]"
    "$arch-w64-mingw32-windres" -i "$exe" -O rc -o "$work/resources.rc"
    check "$arch windres reads the version, 4 icon images and the base settings of ${exe##*/}" \
        bash -c "grep -qF 'FILEVERSION 2, 5, 0, 7' '$work/resources.rc' &&
                 grep -qF 'VALUE \"CompanyName\", \"Example Ltd\"' '$work/resources.rc' &&
                 grep -qF 'VALUE \"OriginalFilename\", \"${exe##*/}\"' '$work/resources.rc' &&
                 [ \$(grep -c 'RT_ICON' '$work/resources.rc') = 4 ] &&
                 grep -qF '\"$code\" \"BASESETTINGS\"' '$work/resources.rc'"
    # Unsigned, verify fails, but it reports the header's checksum against its own sum first.
    osslsigncode verify -in "$exe" >"$work/checksum" 2>&1 || true
    check "osslsigncode computes the same PE checksum as the header of ${exe##*/}" \
        bash -c "grep -q '^PE checksum *: [0-9A-F]*[1-9A-F]' '$work/checksum' &&
                 ! grep -q 'invalid PE checksum' '$work/checksum'"
    check "$arch windres converts the resources of ${exe##*/} to a .res file" \
        "$arch-w64-mingw32-windres" -i "$exe" -O res -o "$work/resources.res"
done

# Signing with a certificate made here; verified by the packer against it, and again here.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" \
    -days 2 -subj "/CN=Packer Test Signer" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/signer.pfx" \
    -passout pass:'pass word' 2>/dev/null
export PACKER_TEST_PASSWORD='pass word'
check "signing with --sign and --password-env succeeds" \
    "$java" -jar "$packer" --name Hello --jar "$work/hello.jar" --out "$work/signed" \
    --sign "$work/signer.pfx" --password-env PACKER_TEST_PASSWORD --sign-ca "$work/cert.pem"
for exe in Hello.exe Hello64.exe; do
    check "osslsigncode verify accepts the signed $exe" \
        osslsigncode verify -CAfile "$work/cert.pem" -in "$work/signed/$exe"
done
check "a signature the system does not trust fails the pack and writes nothing" \
    bash -c "! '$java' -jar '$packer' --name Hello --jar '$work/hello.jar' --out '$work/untrusted' \
             --sign '$work/signer.pfx' --password-env PACKER_TEST_PASSWORD 2>'$work/err' &&
             grep -q 'verifying the signature' '$work/err' && [ ! -e '$work/untrusted' ]"
check "a wrong password fails the pack with osslsigncode's reason" \
    bash -c "! PACKER_TEST_PASSWORD=wrong '$java' -jar '$packer' --name Hello \
             --jar '$work/hello.jar' --out '$work/wrong' --sign '$work/signer.pfx' \
             --password-env PACKER_TEST_PASSWORD 2>'$work/err' &&
             grep -q 'signing .* failed' '$work/err' && [ ! -e '$work/wrong' ]"
check "without osslsigncode, --sign says what to install" \
    bash -c "PATH=/nonexistent '$java' -jar '$packer' --name Hello --jar '$work/hello.jar' \
             --out '$work/nosigner' --sign '$work/signer.pfx' 2>'$work/err';
             [ \$? = 1 ] && grep -q 'apt-get install osslsigncode' '$work/err' &&
             [ ! -e '$work/nosigner' ]"
check "--msi with --sign signs the installer as well as the executables" \
    "$java" -jar "$packer" --name Hello --jar "$work/hello.jar" --out "$work/installed" \
    --msi "$work/Hello.msi" --sign "$work/signer.pfx" --password-env PACKER_TEST_PASSWORD \
    --sign-ca "$work/cert.pem"
check "osslsigncode verify accepts the signed installer" \
    osslsigncode verify -CAfile "$work/cert.pem" -in "$work/Hello.msi"
check "msiinfo reads the signed installer's tables" \
    bash -c "msiinfo export '$work/Hello.msi' Property | grep -q '^ProductName	Hello'"
check "without wixl, --msi says what to install and writes nothing" \
    bash -c "PATH=/nonexistent '$java' -jar '$packer' --name Hello --jar '$work/hello.jar' \
             --out '$work/nowixl' --msi '$work/nowixl.msi' 2>'$work/err';
             [ \$? = 1 ] && grep -q 'apt-get install wixl' '$work/err' &&
             [ ! -e '$work/nowixl' ] && [ ! -e '$work/nowixl.msi' ]"
check "packing without --sign does not need osslsigncode" \
    env PATH=/nonexistent "$java" -jar "$packer" --name Hello --jar "$work/hello.jar" \
    --out "$work/unsigned"

check "--help prints the usage and exits 0" \
    bash -c "'$java' -jar '$packer' --help | grep -q -- '--timestamp-url URL'"
check "a wrong command line exits 2 and names the option" \
    bash -c "'$java' -jar '$packer' --name Hello --jar x.jar --out d --version 1.x 2>'$work/err';
             [ \$? = 2 ] && grep -q -- '--version \"1.x\"' '$work/err'"

[ "$failures" = 0 ] || { echo "$failures cross-checks failed"; exit 1; }
echo "all cross-checks passed"
