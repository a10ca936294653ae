#!/bin/bash
# The packer's installers under Wine's msiexec, in a Wine prefix of their own: what the tables
# hold (read back with msitools), a per-user install that puts the files, the shortcut, the
# file association and the uninstall entry in place and whose executable runs; an upgrade that
# replaces the files and keeps what the application wrote; a downgrade refused; an uninstall
# that removes what it installed and keeps the user's settings; another folder given with
# INSTALLDIR, which the upgrade keeps; and a per-machine install that removes the user's
# settings when asked.
# Usage: msi_e2e.sh PACKER_JAR SOURCE_ROOT WIN64_TREE   (KEEP=1 keeps its work folder)
set -euo pipefail
packer="$1"
root="$2"
win64="$3"
work=$(mktemp -d "${TMPDIR:-/tmp}/packer-msi.XXXXXX")
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all QEMU_RESERVED_VA=0x81000000
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
trap 'wineserver -k 2>/dev/null || true; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
# shellcheck source=../support/wine_checks.sh
source "$root/tests/support/wine_checks.sh"
same() {  # same DESCRIPTION ACTUAL EXPECTED
    if [ "$2" = "$3" ]; then echo "ok: $1"; else
        echo "FAIL: $1: \"$2\", not \"$3\""; failures=$((failures + 1)); fi
}
code='{6B1C0E6E-5A0B-4E55-9A39-2F1D3C7B8E40}'

mkdir -p "$work/classes" "$work/runtime/bin/server"
javac --release 8 -nowarn -d "$work/classes" "$root/example/src/com/example/hello/HelloApp.java" \
    2>/dev/null
jar --create --file "$work/hello.jar" --main-class com.example.hello.HelloApp -C "$work/classes" .
: > "$work/runtime/bin/java.dll"
cp "$win64/tests/support/fakejvm.dll" "$work/runtime/bin/server/jvm.dll"
printf 'main_class=com/example/hello/HelloApp\nmain=return\n' \
    > "$work/runtime/bin/server/fakejvm.scenario"
pack() {  # pack VERSION OUT-NAME [OPTION...]
    local version="$1" name="$2"
    shift 2
    java -jar "$packer" --name Hello --jar "$work/hello.jar" --version "$version" \
        --company "Example Ltd" --upgrade-code "$code" --runtime "$work/runtime" \
        --setting "Java Runtime Environment/Virtual Machine Parameters=-Dbuilt=$version" \
        --out "$work/$name" --msi "$work/$name.msi" "$@" >/dev/null
}
pack 1.0.0.1 v1 --file-association ".hel=Hello document" --msi-wxs "$work/v1.wxs"
pack 1.0.0.1 v1again --file-association ".hel=Hello document"
pack 1.1.0 v2 --file-association ".hel=Hello document"
pack 1.1.0 machine --msi-scope machine --msi-remove-user-settings \
    --setting "Product Information/Product Code=$code"

# The tables, as msitools reads them back.
for table in Property Upgrade Shortcut Component; do
    for build in v1 v1again; do
        msiinfo export "$work/$build.msi" "$table" > "$work/$build.$table"
    done
done
check_line "the product version is the first three numbers" "$work/v1.Property" \
    "ProductVersion	1.0.0"
check_line "the upgrade code is --upgrade-code's" "$work/v1.Property" "UpgradeCode	$code"
check_line "the manufacturer is --company" "$work/v1.Property" "Manufacturer	Example Ltd"
check_line "the product icon is the executable's" "$work/v1.Property" \
    "ARPPRODUCTICON	ApplicationIcon.exe"
check_line "older versions and this one are replaced" "$work/v1.Upgrade" \
    "$code	0.0.0	1.0.1		256		OLDERFOUND"
check_line "newer versions are detected" "$work/v1.Upgrade" "$code	1.0.1			258		NEWERFOUND"
check "the Start-menu shortcut starts the executable in its folder" "$work/v1.Shortcut" \
    "ProgramMenuFolder	Hello	StartMenuShortcut	[INSTALLDIR]Hello.exe		Hello					INSTALLDIR"
same "two builds get two product codes" \
    "$(grep ProductCode "$work/v1.Property" "$work/v1again.Property" | cut -f2 | sort -u | wc -l)" 2
same "two builds of one layout get the same components and GUIDs" \
    "$(diff "$work/v1.Component" "$work/v1again.Component" && echo same)" same
same "a component per folder (root, jre/bin, jre/bin/server, lib) and the shortcut's" \
    "$(($(wc -l < "$work/v1.Component") - 3))" 5
check "--msi-wxs kept the WiX source" "$work/v1.wxs" "<Upgrade Id=\"${code:1:36}\">"
msiinfo export "$work/machine.msi" Property > "$work/machine.Property"
check_line "--msi-scope machine installs for every user" "$work/machine.Property" "ALLUSERS	1"

"$root/tools/wine-prefix" "$WINEPREFIX" 2>/dev/null
msiexec() { DISPLAY= /usr/lib/wine/wine64 msiexec "$@" /qn </dev/null >/dev/null 2>&1; }
user=$(DISPLAY= /usr/lib/wine/wine64 cmd /c 'echo %USERNAME%' 2>/dev/null | tr -d '\r')
home="$WINEPREFIX/drive_c/users/$user"
app="$home/AppData/Local/Programs/Hello"
shortcut="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Hello.lnk"
registry() {  # both registry files, once Wine has written them
    wineserver -w
    cat "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" > "$work/registry"
}
exists() { if [ -e "$1" ]; then echo present; else echo absent; fi; }
install() {  # install|uninstall: msiexec's exit status into $work/status
    msiexec "$@" && echo "exit 0" > "$work/status" || echo "exit $?" > "$work/status"
}

echo "== per-user install of 1.0.0"
install /i "$(windows_path "$work/v1.msi")"
check_line "msiexec /i /qn installs without elevation" "$work/status" "exit 0"
for file in Hello.exe Hello64.exe Hello.ini Hello64.ini lib/hello.jar jre/bin/java.dll \
    jre/bin/server/jvm.dll; do
    same "installed $file" "$(exists "$app/$file")" present
done
same "the Start-menu shortcut is installed" "$(exists "$shortcut")" present
registry
check "Apps & features lists the product" "$work/registry" '"DisplayName"="Hello"'
check "with its version" "$work/registry" '"DisplayVersion"="1.0.0"'
check "with its publisher" "$work/registry" '"Publisher"="Example Ltd"'
check "with its icon" "$work/registry" 'ApplicationIcon.exe"'
check "the file association names the application" "$work/registry" \
    '@="\"C:\\users\\'"$user"'\\AppData\\Local\\Programs\\Hello\\Hello.exe\" \"%1\""'
DISPLAY= timeout 120 /usr/lib/wine/wine64 \
    "C:\\users\\$user\\AppData\\Local\\Programs\\Hello\\Hello64.exe" first \
    >/dev/null 2>&1 && echo "exit 0" > "$work/status" || echo "exit $?" > "$work/status"
check "the installed executable runs the program" "$work/status" "exit 0"
touch "$app/jre/bin/server/fakejvm.record"
check "with the installed settings" "$app/jre/bin/server/fakejvm.record" "option -Dbuilt=1.0.0.1"
check_line "from the installed folder" "$app/jre/bin/server/fakejvm.record" \
    "option -Djava.class.path=C:\\users\\$user\\AppData\\Local\\Programs\\Hello\\lib\\hello.jar"
rm "$app/jre/bin/server/fakejvm.record"
# What the application and the launcher write: a log in its folder, the user's "JRE Path".
mkdir -p "$app/logs" "$home/AppData/Roaming/Hello"
echo "the application's own log" > "$app/logs/app.log"
printf '[Java Runtime Environment]\r\nJRE Path=C:\\jre\r\n' \
    > "$home/AppData/Roaming/Hello/Hello.ini"

echo "== upgrade to 1.1.0"
install /i "$(windows_path "$work/v2.msi")"
check "the newer version installs over the older" "$work/status" "exit 0"
check "the settings file was replaced" <(iconv -f UTF-16 -t UTF-8 "$app/Hello.ini") -Dbuilt=1.1.0
same "the application's own file stays" "$(exists "$app/logs/app.log")" present
registry
check "Apps & features shows the new version" "$work/registry" '"DisplayVersion"="1.1.0"'
# Windows Installer writes the entry twice: under Uninstall and in its own product data.
same "and only one entry of the product" "$(grep -c '"DisplayName"="Hello"' "$work/registry")" 2

echo "== downgrade to 1.0.0"
install /i "$(windows_path "$work/v1.msi")"
# 1603, the installation failed, as an exit status of Linux keeps it.
check_line "installing the older version over the newer is refused" "$work/status" \
    "exit $((1603 % 256))"
check "and leaves the newer one" <(iconv -f UTF-16 -t UTF-8 "$app/Hello.ini") -Dbuilt=1.1.0

echo "== uninstall"
install /x "$(windows_path "$work/v2.msi")"
check_line "msiexec /x uninstalls" "$work/status" "exit 0"
for file in Hello.exe Hello.ini lib jre; do
    same "the uninstall removed $file" "$(exists "$app/$file")" absent
done
same "the uninstall removed the shortcut" "$(exists "$shortcut")" absent
same "and kept the application's own file" "$(exists "$app/logs/app.log")" present
same "and the user's settings file" "$(exists "$home/AppData/Roaming/Hello/Hello.ini")" present
registry
same "the uninstall entry is gone" "$(grep -c '"DisplayName"="Hello"' "$work/registry")" 0
same "the file association is gone" "$(grep -c 'Hello.hel' "$work/registry")" 0
rm -rf "$app"

echo "== another folder, given with INSTALLDIR, and kept by the upgrade"
install /i "$(windows_path "$work/v1.msi")" 'INSTALLDIR=C:\Apps\Hello'
check_line "msiexec /i INSTALLDIR=... installs" "$work/status" "exit 0"
same "into that folder" "$(exists "$WINEPREFIX/drive_c/Apps/Hello/Hello.exe")" present
install /i "$(windows_path "$work/v2.msi")"
check_line "the upgrade installs" "$work/status" "exit 0"
check "into the same folder" \
    <(iconv -f UTF-16 -t UTF-8 "$WINEPREFIX/drive_c/Apps/Hello/Hello.ini") -Dbuilt=1.1.0
same "not the default one" "$(exists "$app")" absent
install /x "$(windows_path "$work/v2.msi")"
same "whose uninstall removes it" "$(exists "$WINEPREFIX/drive_c/Apps/Hello")" absent

echo "== per-machine install, removing the user's settings"
# With a product code, the launcher keeps them in a folder of that name.
settings="$home/AppData/Roaming/Hello"
rm -rf "$settings" && mkdir -p "$settings/$code"
printf '[Java Runtime Environment]\r\nJRE Path=C:\\jre\r\n' > "$settings/$code/Hello.ini"
install /i "$(windows_path "$work/machine.msi")"
check "the per-machine installer installs" "$work/status" "exit 0"
machine="$WINEPREFIX/drive_c/Program Files/Hello"
same "into the 64-bit Program Files for a 64-bit runtime" "$(exists "$machine/Hello64.exe")" present
# Wine's msiexec puts ProgramMenuFolder in the installing user's Start menu even then
# (Windows: in every user's).
common="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Hello.lnk"
same "with the Start-menu shortcut" "$(exists "$common")$(exists "$shortcut")" absentpresent
registry
check "remembering the folder in the 64-bit registry view, as a 64-bit pack" "$work/registry" \
    '"Install Folder"="C:\\Program Files\\Hello\\"'
same "not the 32-bit one" "$(grep -ci 'Wow6432Node\\\\Example Ltd' "$work/registry")" 0
install /x "$(windows_path "$work/machine.msi")"
check "and uninstalls" "$work/status" "exit 0"
same "removing its files" "$(exists "$machine")" absent
same "and the shortcut" "$(exists "$common")$(exists "$shortcut")" absentabsent
same "and, as asked, the user's settings file" "$(exists "$settings/$code/Hello.ini")" absent
same "with its folders" "$(exists "$settings")" absent

checks_done
