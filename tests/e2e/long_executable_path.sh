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

# Single-instance mode with such a path: the names of its shared objects are too long for the
# system as they stand, so they are shortened; a second start still reaches the first one.
printf 'main_class=com/example/Main\nmain=sleep:20000\nsecondary_main=int:7\n' \
    > "$app/jre/bin/server/fakejvm.scenario"
printf '[Java Runtime Environment]\r\nMain Class=com.example.Main\r\nJRE Path=%s\r\n[Class Path]\r\nClass Path=\\lib\\app.jar\r\n[Application]\r\nSingle Instance=yes\r\n' \
    "$app_windows\\jre" > "$app/MyApp.ini"
: > "$record"
(s=0; cd "$work" && timeout 240 "$root/tools/wine-run" "$app/MyApp.exe" first || s=$?
    echo "first exit status $s") > "$work/first.txt" 2>&1 &
first=$!
for _ in $(seq 1200); do grep -q '^main ' "$record" && break; sleep 0.1; done
status=0
(cd "$work" && timeout 60 "$root/tools/wine-run" "$app/MyApp.exe" handed over) \
    > "$work/second.txt" 2>&1 || status=$?
echo "second exit status $status" >> "$work/second.txt"
wait "$first" || true
check "the second start ended with the first one's answer" "$work/second.txt" \
    "second exit status 7"
check "the first start handed the two arguments to secondaryMain" "$record" "secondaryMain 2"
check "the first start ended normally" "$work/first.txt" "first exit status 0"
jvms=$(grep -c '^main ' "$record" || true)
[ "$jvms" = 1 ] && echo "ok: one JVM only" ||
    { echo "FAIL: $jvms JVMs ran the main method"; failures=$((failures + 1)); }

checks_done
