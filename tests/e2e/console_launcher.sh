#!/bin/bash
# The console launcher driven from a Linux shell: Wine hands a console program the shell's
# standard streams, so what the Java program and the launcher write arrives in files here, input
# comes from here, and the shell sees the exit code. A message box would keep the launcher
# waiting for a click, which the time-out turns into a failed exit-code check.
# (The hand-over to the console pair is tested with a packed console tool, in packed_e2e.sh.)
# Usage: console_launcher.sh SOURCE_ROOT CONSOLE_EXE FAKEJVM_DLL GUI_EXE CONSOLE_PARENT_EXE
set -euo pipefail
root="$1"
launcher="$2"
fakejvm="$3"
gui_launcher="$4"
console_parent="$5"
work=$(mktemp -d "${TMPDIR:-/tmp}/console-launcher.XXXXXX")
trap 'rm -rf "$work"' EXIT
# shellcheck source=../support/wine_checks.sh
source "$root/tests/support/wine_checks.sh"

app="$work/app"
app_windows=$(windows_path "$app")
mkdir -p "$app/jre/bin/server" "$app/jre/lib" "$app/lib" "$work/nojre"
cp "$launcher" "$app/MyApp.exe"
cp "$launcher" "$work/nojre/MyApp.exe"
cp "$fakejvm" "$app/jre/bin/server/jvm.dll"
: > "$app/jre/bin/java.dll"
: > "$app/jre/lib/modules"
printf 'PK' > "$app/lib/app.jar"

scenario() { printf '%b' "$1" > "$app/jre/bin/server/fakejvm.scenario"; }
settings() {  # settings FOLDER LINES...: main class, class path, [Application] lines
    local folder="$1"; shift
    printf '[Java Runtime Environment]\r\nMain Class=com.example.Main\r\n%s[Class Path]\r\nClass Path=\\lib\\app.jar\r\n[Application]\r\n' \
        "${jre_line:-}" > "$folder/MyApp.ini"
    for line in "$@"; do printf '%s\r\n' "$line" >> "$folder/MyApp.ini"; done
}
run() {  # run NAME FOLDER [ARGS...]: stdin from $work/NAME.in, streams to NAME.out/.err
    local name="$1" folder="$2" status=0; shift 2
    touch "$work/$name.in"
    (cd "$work" && timeout 120 "$root/tools/wine-run" "$folder/MyApp.exe" "$@") \
        < "$work/$name.in" > "$work/$name.out" 2> "$work/$name.err" || status=$?
    echo "exit status $status" > "$work/$name.status"
}

# The program's streams are the shell's, and its exit code is the shell's.
scenario 'main_class=com/example/Main\nprint_out=to standard output\\n\nprint_err=to standard error\\n\ncopy_input=yes\nmain=exit:5\n'
settings "$app"
printf 'typed line\n' > "$work/streams.in"
run streams "$app"
check "System.out reaches standard output" "$work/streams.out" "to standard output"
check "System.in reads standard input" "$work/streams.out" "typed line"
check "System.err reaches standard error" "$work/streams.err" "to standard error"
check "System.exit(5) is the exit code" "$work/streams.status" "exit status 5"

# An output file still wins over the console.
settings "$app" "Output File=$app_windows\\out.txt"
run output_file "$app"
touch "$app/out.txt"
check "Output File takes System.out" "$app/out.txt" "to standard output"
if grep -q "to standard output" "$work/output_file.out"; then
    echo "FAIL: System.out reached the console despite Output File"; failures=$((failures + 1))
fi

# Failures: one line on standard error each, exit -1, no box to wait for.
sed -i 's/^Main Class=.*//' "$app/MyApp.ini"
run no_main_class "$app"
check "no main class: exit -1" "$work/no_main_class.status" "exit status 255"
check_line "no main class: the message" "$work/no_main_class.err" \
    "Main class was not specified in INI file."
jre_line=$'Minimum Version=11\r\nMaximum Version=17\r\n'
settings "$work/nojre"
jre_line=
run no_runtime "$work/nojre"
check "no runtime: exit -1" "$work/no_runtime.status" "exit status 255"
check_line "no runtime: the versions wanted and the download page" "$work/no_runtime.err" \
    "The Java Runtime Environment (JRE) was not found. Please  download and install a JRE (version between 11.0 and 17.65535) from: https://www.java.com/download/"
scenario 'main_class=com/example/Main\ncreate_result=-1\n'
settings "$app"
run no_jvm "$app"
check "JVM creation failed: exit -1" "$work/no_jvm.status" "exit status 255"
check_line "JVM creation failed: the box's two lines as one" "$work/no_jvm.err" \
    "JNI exception: failed to create the Java VM Reason: unknown."

# An exception escaping main: its trace on standard error, with or without "Failure Check",
# and the exit code the GUI launcher gives when the program goes on.
scenario 'main_class=com/example/Main\nmain=throw\n'
for check_setting in "" "Failure Check=Yes"; do
    settings "$app" "$check_setting"
    run exception "$app"
    check "uncaught exception ($check_setting): exit 0" "$work/exception.status" "exit status 0"
    check "uncaught exception ($check_setting): the trace" "$work/exception.err" \
        "java.lang.RuntimeException: boom"
done

# Ctrl+C (Wine turns SIGINT into the console's Ctrl+C event) reaches the JVM's own handler, which
# runs the shutdown hooks and ends with 130, as `java` does; the launcher takes no part in it.
scenario 'main_class=com/example/Main\nconsole_handler=yes\nmain=sleep:60000\n'
settings "$app"
record="$app/jre/bin/server/fakejvm.record"
: > "$record"
(cd "$work" && exec "$root/tools/wine-run" "$app/MyApp.exe") < /dev/null > "$work/ctrl_c.out" \
    2>&1 &
program=$!
for _ in $(seq 600); do grep -q '^main ' "$record" && break; sleep 0.2; done
kill -INT "$program"
status=0
wait "$program" || status=$?
echo "exit status $status" >> "$work/ctrl_c.out"
check "Ctrl+C: the JVM's handler ran the shutdown hooks" "$record" "shutdown hooks 0"
# qemu-user, which runs 32-bit Wine here, now and then dies on the way out of a signal.
if grep -q "qemu: uncaught target signal" "$work/ctrl_c.out"; then
    echo "skip: Ctrl+C: exit 130 (the emulator died on the way out)"
else
    check "Ctrl+C: exit 130" "$work/ctrl_c.out" "exit status 130"
fi

# The GUI launcher started the way a terminal starts it (a console, no standard handles): only
# with "Attach Console" does the program's output appear on that console.
cp "$gui_launcher" "$app/MyGui.exe"
scenario 'main_class=com/example/Main\nprint_out=to the console\\n\nmain=exit:4\n'
for attach in No Yes; do
    settings "$app" "Attach Console=$attach"
    cp "$app/MyApp.ini" "$app/MyGui.ini"
    status=0
    (cd "$work" && timeout 120 "$root/tools/wine-run" "$console_parent" \
        "$app_windows\\MyGui.exe") < /dev/null > "$work/attach_$attach.out" 2>&1 || status=$?
    echo "exit status $status" >> "$work/attach_$attach.out"
    check "GUI launcher, Attach Console=$attach: exit code" "$work/attach_$attach.out" \
        "exit status 4"
done
check "Attach Console=Yes: the output is on the console" "$work/attach_Yes.out" "to the console"
if grep -q "to the console" "$work/attach_No.out"; then
    echo "FAIL: without Attach Console the output reached the console"; failures=$((failures + 1))
fi

checks_done
