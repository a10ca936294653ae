#!/bin/bash
# Packed executables under Wine, on the test-only runtime: the packed launcher starts, reads
# its embedded base settings and its settings file and runs the runtime bundled beside it;
# Windows reads back the version information and icons that were packed; and a 32-bit
# executable packed with a 64-bit runtime hands over to its 64-bit pair, started from
# another folder, and passes the program's exit code on; and a packed console tool talks to
# the shell.
# Usage: packed_e2e.sh PACKER_JAR SOURCE_ROOT WIN32_TREE WIN64_TREE
set -euo pipefail
packer="$1"
root="$2"
win32="$3"
win64="$4"
work=$(mktemp -d "${TMPDIR:-/tmp}/packer-e2e.XXXXXX")
trap 'rm -rf "$work"' EXIT
wine_run="$root/tools/wine-run"
# shellcheck source=../support/wine_checks.sh
source "$root/tests/support/wine_checks.sh"
utf16hex() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16BE | od -An -tx1 | tr -d ' \n'; }
runtime() {  # runtime FOLDER FAKEJVM JVM-TYPE SCENARIO
    mkdir -p "$1/bin/$3"
    : > "$1/bin/java.dll"
    cp "$2" "$1/bin/$3/jvm.dll"
    printf '%s\n' "$4" > "$1/bin/$3/fakejvm.scenario"
}

mkdir -p "$work/classes"
javac --release 8 -nowarn -d "$work/classes" "$root/example/src/com/example/hello/HelloApp.java" \
    2>/dev/null
jar --create --file "$work/hello.jar" --main-class com.example.hello.HelloApp -C "$work/classes" .
cp "$root/example/HelloApp.ico" "$work/app.ico"
printf '[Java Runtime Environment]\r\nVirtual Machine Parameters=-Dfrom.base=yes\r\n' \
    > "$work/base.ini"

# One application on a bundled 32-bit runtime, with every kind of branding.
runtime "$work/runtime32" "$win32/tests/support/fakejvm.dll" client \
    "main_class=com/example/hello/HelloApp
main=return
print_out=played main"
java -jar "$packer" --name Hello --jar "$work/hello.jar" --icon "$work/app.ico" \
    --version 2.5.0.7 --company "Example Ltd" --description "Packed example" \
    --upgrade-code '{0F3A5D2C-8B4E-4C1A-9E7F-6D5B4A3C2B1E}' --base-settings "$work/base.ini" \
    --setting 'Application/Cmd="from the ini" grüße=1 "x y"' \
    --runtime "$work/runtime32" --out "$work/Hello" >/dev/null

"$wine_run" "$win32/tests/support/windriver.exe" --timeout 240000 --press 1 \
    "$(windows_path "$work/Hello/Hello.exe")" first > "$work/run.txt" 2>&1 || true
record="$work/Hello/jre/bin/client/fakejvm.record"
touch "$record"
check "the packed executable ran the program and ended with 0" "$work/run.txt" "exit code: 0"
check "its main class came from the jar's manifest" "$record" \
    "checkAndLoadMain 1 1 com.example.hello.HelloApp"
check_line "its class path is the jar in lib" "$record" \
    "option -Djava.class.path=$(windows_path "$work/Hello/lib/hello.jar")"
check "the embedded base settings gave a VM parameter" "$record" "option -Dfrom.base=yes"
check "the settings file gave the extra arguments" "$record" "main 4"
check "argument from the command line" "$record" "arg 0 $(utf16hex first)"
# The value starts and ends with a quote, which the profile functions would strip unless the
# packer writes it in an extra pair.
check "quoted argument at the start of the settings value" "$record" \
    "arg 1 $(utf16hex 'from the ini')"
check "non-ASCII argument with = from the settings file" "$record" "arg 2 $(utf16hex 'grüße=1')"
check "quoted argument at the end of the settings value" "$record" "arg 3 $(utf16hex 'x y')"

for exe in Hello.exe Hello64.exe; do
    "$wine_run" "$win32/tests/packer/packed_probe.exe" "$(windows_path "$work/Hello/$exe")" \
        > "$work/probe.txt" 2>&1 || true
    check "GetFileVersionInfoW reads the version of $exe" "$work/probe.txt" \
        "fixed file 2.5.0.7 product 2.5.0.7"
    check "GetFileVersionInfoW reads the company of $exe" "$work/probe.txt" \
        "string CompanyName=Example Ltd"
    check "GetFileVersionInfoW reads the description of $exe" "$work/probe.txt" \
        "string FileDescription=Packed example"
    check "GetFileVersionInfoW reads the file name of $exe" "$work/probe.txt" \
        "string OriginalFilename=$exe"
    check "ExtractIconExW finds one icon of $exe" "$work/probe.txt" "icon groups 1"
    check "ExtractIconExW extracts the large and small icon of $exe" "$work/probe.txt" \
        "extracted large 32x32 small 16x16"
    for size in 16x16 32x32 48x48 256x256; do
        check "the $size image of $exe loads" "$work/probe.txt" "image $size"
    done
done

# A 64-bit runtime: the 32-bit executable hands over to its pair, which runs it; started from
# another folder so the relative pair and runtime paths are tested too.
runtime "$work/runtime64" "$win64/tests/support/fakejvm.dll" server \
    "main_class=com/example/hello/HelloApp
main=exit:7"
java -jar "$packer" --name Pair --jar "$work/hello.jar" --runtime "$work/runtime64" \
    --out "$work/Pair" >/dev/null
"$wine_run" "$win32/tests/support/windriver.exe" --timeout 240000 --press 1 \
    --cwd 'C:\windows' "$(windows_path "$work/Pair/Pair.exe")" > "$work/pair.txt" 2>&1 || true
record="$work/Pair/jre/bin/server/fakejvm.record"
touch "$record"
check "the 32-bit executable passed the 64-bit program's exit code on" "$work/pair.txt" \
    "exit code: 7"
check "the 64-bit pair ran the bundled 64-bit runtime" "$record" \
    "env VX_JVM_PATH=$(windows_path "$work/Pair/jre/bin/server/jvm.dll")"

# --console: both executables are console launchers, and the 32-bit one, started from the shell
# with a 64-bit runtime, hands over to its console pair, whose program writes to the shell's
# output and whose exit code the shell gets.
runtime "$work/runtime64c" "$win64/tests/support/fakejvm.dll" server \
    "main_class=com/example/hello/HelloApp
print_out=printed by the tool\\n
main=exit:6"
java -jar "$packer" --name Tool --jar "$work/hello.jar" --runtime "$work/runtime64c" --console \
    --out "$work/Tool" >/dev/null
for exe in Tool.exe Tool64.exe; do
    objdump -p "$work/Tool/$exe" > "$work/headers.txt"
    check "$exe is a console program" "$work/headers.txt" "(Windows CUI)"
done
status=0
(cd "$work" && timeout 240 "$wine_run" "$work/Tool/Tool.exe") < /dev/null > "$work/tool.out" \
    2> "$work/tool.err" || status=$?
echo "exit status $status" >> "$work/tool.err"
check "the packed console tool printed to standard output" "$work/tool.out" \
    "printed by the tool"
check "the shell got the packed console tool's exit code" "$work/tool.err" "exit status 6"

checks_done
