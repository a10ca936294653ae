#!/bin/bash
# An application whose own folder lies beyond MAX_PATH: the executable, its settings file, the
# runtime, the class path and the output file all live there. Wine's CreateProcess cannot start
# such a program (it copies the name into a MAX_PATH buffer), but Wine's loader started from
# the shell can, so this test drives the launcher from here rather than from a Windows runner.
# Usage: long_executable_path.sh SOURCE_ROOT LAUNCHER_EXE FAKEJVM_DLL
set -euo pipefail
root="$1"
launcher="$2"
fakejvm="$3"
work=$(mktemp -d "${TMPDIR:-/tmp}/long-exe.XXXXXX")
trap 'rm -rf "$work"' EXIT
# shellcheck source=../support/wine_checks.sh
source "$root/tests/support/wine_checks.sh"

app="$work"
for part in a b c d e; do app="$app/$(printf "$part%.0s" $(seq 60))"; done
app_windows=$(windows_path "$app")
[ ${#app_windows} -gt 300 ] || { echo "the folder is not deep enough: ${#app_windows}"; exit 1; }

mkdir -p "$app/jre/bin/server" "$app/jre/lib" "$app/lib"
cp "$launcher" "$app/MyApp.exe"
cp "$fakejvm" "$app/jre/bin/server/jvm.dll"
: > "$app/jre/bin/java.dll"
: > "$app/jre/lib/modules"
printf 'PK' > "$app/lib/app.jar"
printf 'main_class=com/example/Main\nprint_out=to standard output\n' \
    > "$app/jre/bin/server/fakejvm.scenario"
# The class path is relative to the executable's folder, so it only comes out whole when the
# launcher read its own long name whole.
printf '[Java Runtime Environment]\r\nMain Class=com.example.Main\r\nJRE Path=%s\r\n[Class Path]\r\nClass Path=\\lib\\app.jar\r\n[Application]\r\nOutput File=%s\r\n' \
    "$app_windows\\jre" "$app_windows\\logs\\out.txt" > "$app/MyApp.ini"

status=0
(cd "$work" && timeout 240 "$root/tools/wine-run" "$app/MyApp.exe") > "$work/run.txt" 2>&1 ||
    status=$?
echo "exit status $status" >> "$work/run.txt"
record="$app/jre/bin/server/fakejvm.record"
touch "$record"
mkdir -p "$app/logs" && touch "$app/logs/out.txt"
check "the launcher ended with 0" "$work/run.txt" "exit status 0"
check "the runtime named in the settings file was loaded" "$record" \
    "env VX_JVM_PATH=$app_windows\\jre\\bin\\server\\jvm.dll"
check_line "the class path is resolved against the executable's folder" "$record" \
    "option -Djava.class.path=$app_windows\\lib\\app.jar"
check "the output file was created there" "$app/logs/out.txt" "to standard output"

checks_done
