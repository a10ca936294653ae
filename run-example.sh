#!/bin/bash
# Sets up a fresh Debian 12 machine if needed, builds the launcher and runs it under Wine on the
# bundled example application (example/).
#
# No Windows Java runtime can be installed here, so the example's runtime folder holds the
# project's test-only jvm.dll: it implements the JNI invocation API, records what the launcher
# hands it (options, class path, arguments, environment) and plays the example's main method by
# printing to the redirected standard output. The launcher itself does its real job: reads
# HelloApp.ini, finds the runtime beside it, loads jvm.dll, builds the options and runs main.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"
bash tools/setup.sh
bash tools/build.sh launcher fakejvm windriver >/dev/null

app="$root/build/example/HelloApp"
rm -rf "$app" && mkdir -p "$app/lib" "$app/jre/bin/client" "$app/classes"
cp build/win32/launcher/launcher.exe "$app/HelloApp.exe"
# The profile API reads UTF-16 settings files with a byte-order mark.
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE example/HelloApp.ini; } > "$app/HelloApp.ini"
javac -d "$app/classes" example/src/com/example/hello/HelloApp.java
jar --create --file "$app/lib/hello.jar" -C "$app/classes" . && rm -rf "$app/classes"
: > "$app/jre/bin/java.dll"
cp build/win32/tests/support/fakejvm.dll "$app/jre/bin/client/jvm.dll"
cat > "$app/jre/bin/client/fakejvm.scenario" <<'SCENARIO'
main_class=com/example/hello/HelloApp
main=return
print_out=Hello from the example application (played by the test-only jvm.dll)
SCENARIO

export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/javalauncher-wine-$(id -u)}"
xvfb_pid=
if [ -z "${DISPLAY:-}" ]; then
    exec 5> "$root/build/example/display"
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -s "$root/build/example/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$root/build/example/display")"
fi
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT

echo "== running HelloApp.exe under Wine"
# windriver starts the program, reports any window it shows (pressing OK) and its exit code.
tools/wine-run build/win32/tests/support/windriver.exe --timeout 120000 --press 1 \
    "Z:${app//\//\\}\\HelloApp.exe" first-argument "second argument"
echo "== what the launcher handed the JVM (jre/bin/client/fakejvm.record)"
cat "$app/jre/bin/client/fakejvm.record"
echo "== the program's standard output ($app/logs)"
cat "$app"/logs/out-*.log
