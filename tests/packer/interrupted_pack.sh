#!/bin/bash
# Kills packs at several moments (the pack staged beside --out, the earlier pack's files moved
# aside, osslsigncode signing) with SIGINT, SIGTERM and SIGKILL, then checks --out, the folders
# beside it and /tmp: a stopped pack undoes its work at once, a killed one is undone by the next
# run, --out always ends as a whole pack with the application's own files, and the signing
# password is in no file. The packer pauses at a named moment when JAVALAUNCHER_PACK_TEST_PAUSE
# names it; for signing, a slow osslsigncode stands first on the PATH.
# Usage: interrupted_pack.sh PACKER_JAR SOURCE_ROOT
set -euo pipefail
packer="$1"
root="$2"
work=$(mktemp -d "${TMPDIR:-/tmp}/packer-interrupt.XXXXXX")
started="$work/started"
touch "$started"
trap 'rm -rf "$work"' EXIT
java=$(command -v java)
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

mkdir -p "$work/classes" "$work/runtime/bin/client" "$work/fakebin"
javac --release 8 -nowarn -d "$work/classes" "$root/example/src/com/example/hello/HelloApp.java" \
    2>/dev/null
jar --create --file "$work/hello.jar" --main-class com.example.hello.HelloApp -C "$work/classes" .
# A runtime folder the packer accepts: it reads only the machine type of jvm.dll.
(cd "$work" && jar --extract --file "$packer" launchers/launcher.exe)
mv "$work/launchers/launcher.exe" "$work/runtime/bin/client/jvm.dll"
: > "$work/runtime/bin/java.dll"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" \
    -days 2 -subj "/CN=Interrupt Test" 2>/dev/null
password="pw-$RANDOM-$RANDOM-never-on-disk"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/signer.pfx" \
    -passout "pass:$password" 2>/dev/null
# Says it got the password on its standard input (without writing it), then hangs.
cat > "$work/fakebin/osslsigncode" <<EOF
#!/bin/bash
echo \$\$ > "$work/signer.pid"
read -r got || true
case " \$* " in
    *" -readpass /dev/stdin "*) [ "\$got" = "\$PACK_PASSWORD" ] && echo piped > "$work/signer.got";;
esac
exec sleep 60
EOF
chmod +x "$work/fakebin/osslsigncode"

out="$work/dist/App"
pack() {  # pack EXTRA-OPTIONS...: the packer's command line
    echo "$java" -jar "$packer" --name App --jar "$work/hello.jar" --runtime "$work/runtime" \
        --out "$out" "$@"
}
listing() {  # every entry under a folder, and the sum of every file
    (cd "$1" && find . -printf '%y %p\n' | sort && find . -type f -exec sha256sum {} + | sort)
}
neighbours() { ls -A "$work/dist" | grep -v '^App$' || true; }

$(pack) >/dev/null
mkdir -p "$out/logs"
echo "the application's log" > "$out/logs/app.log"
listing "$out" > "$work/before"

# Runs a pack in the background, waits until it reaches the moment, and sends the signal.
interrupt() {  # interrupt MOMENT SIGNAL
    local moment="$1" signal="$2" pid
    rm -f "$work/signer.pid" "$work/signer.got" "$work/err"
    if [ "$moment" = signing ]; then
        PACK_PASSWORD="$password" PATH="$work/fakebin:$PATH" env --default-signal=INT \
            $(pack --company Second --sign "$work/signer.pfx" --password-env PACK_PASSWORD) \
            >/dev/null 2>"$work/err" &
    else
        # A background job starts with SIGINT ignored, and Java would keep it so.
        JAVALAUNCHER_PACK_TEST_PAUSE="$moment" env --default-signal=INT \
            $(pack --company Second) >/dev/null 2>"$work/err" &
    fi
    pid=$!
    for _ in $(seq 600); do
        if [ "$moment" = signing ]; then [ -s "$work/signer.pid" ] && break
        else grep -q "paused at $moment" "$work/err" 2>/dev/null && break; fi
        sleep 0.1
    done
    sleep 0.3
    kill -s "$signal" "$pid"
    wait "$pid" || true
    if [ -s "$work/signer.pid" ]; then
        local signer; signer=$(cat "$work/signer.pid")
        if [ "$signal" != KILL ] && kill -0 "$signer" 2>/dev/null; then
            fail "stopping the packer ($signal) ends osslsigncode too"
        fi
        kill "$signer" 2>/dev/null || true
    fi
}

for case in staged:INT staged:TERM moved-aside:TERM moved-aside:INT signing:TERM \
            staged:KILL moved-aside:KILL moved-in:KILL signing:KILL; do
    moment="${case%%:*}" signal="${case##*:}"
    interrupt "$moment" "$signal"
    what="SIG$signal at $moment"
    if [ "$moment" = signing ] && [ ! -e "$work/signer.got" ]; then
        fail "$what: osslsigncode got the password through a pipe"
    fi
    if [ "$signal" != KILL ]; then
        if [ -n "$(neighbours)" ]; then fail "$what: nothing is left beside --out: $(neighbours)"
        elif ! listing "$out" | cmp -s - "$work/before"; then
            fail "$what: --out is the earlier pack"
            listing "$out" | diff "$work/before" - | head
        else ok "$what: the stopped packer left --out as it was and nothing beside it"; fi
        continue
    fi
    [ -n "$(neighbours)" ] || fail "$what: the killed pack left its work folder (the test's check)"
    # The next pack cleans up before anything else; stopped at once, it leaves what it cleaned.
    interrupt staged TERM
    if [ -n "$(neighbours)" ]; then fail "$what: the next pack removes the leftovers: $(neighbours)"
    elif ! listing "$out" | cmp -s - "$work/before"; then
        fail "$what: the next pack puts the earlier pack back"
        listing "$out" | diff "$work/before" - | head
    else ok "$what: the next pack removed the leftovers and --out is the earlier pack"; fi
done

# After all that, packing still works and keeps the application's files.
if $(pack --company Third) >/dev/null && [ -z "$(neighbours)" ] &&
    cmp -s "$out/logs/app.log" <(echo "the application's log"); then
    ok "a pack after the interruptions completes and keeps the application's files"
else
    fail "a pack after the interruptions completes and keeps the application's files"
fi

# No file made in /tmp since the start holds the password (the packer used to write it there).
leaks=$(find /tmp -xdev -newer "$started" -type f -size -1M -readable 2>/dev/null |
        xargs -r grep -lF -- "$password" 2>/dev/null | grep -v "^$work/fakebin/" || true)
if [ -n "$leaks" ] || ls -d /tmp/javalauncher-pack-sign* >/dev/null 2>&1; then
    fail "the signing password is in no file under /tmp: $leaks"
else
    ok "the signing password is in no file under /tmp"
fi

[ "$failures" = 0 ] || { echo "$failures checks failed"; exit 1; }
echo "all interruption checks passed"
