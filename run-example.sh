#!/bin/bash
# Sets up a fresh Debian 12 machine if needed, builds the launcher and the packer, packs the
# bundled example application (example/) into a Windows application folder with its icon,
# version information and settings, and runs the packed executable under Wine; then installs
# the installer built with it (HelloApp-1.2.3.msi) under Wine, runs the installed executable
# and uninstalls it again.
#
# No Windows Java runtime can be installed here, so the runtime packed beside the executable
# holds the project's test-only jvm.dll: it implements the JNI invocation API, records what the
# launcher hands it (options, class path, arguments, environment) and plays the example's main
# method by printing to the redirected standard output. The launcher itself does its real job:
# reads its embedded base settings and HelloApp.ini, finds the runtime beside it, loads jvm.dll,
# builds the options and runs main.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"
bash tools/setup.sh
bash tools/build.sh launcher fakejvm windriver packer packed_probe >/dev/null

work="$root/build/example"
app="$work/HelloApp"
rm -rf "$work" && mkdir -p "$work/classes" "$work/runtime/bin/client"
# Compiled for the oldest Java the example's settings accept ("Minimum Version" 1.8).
javac --release 8 -d "$work/classes" example/src/com/example/hello/HelloApp.java
jar --create --file "$work/hello.jar" --main-class com.example.hello.HelloApp \
    -C "$work/classes" .
: > "$work/runtime/bin/java.dll"
cp build/win32/tests/support/fakejvm.dll "$work/runtime/bin/client/jvm.dll"
cat > "$work/runtime/bin/client/fakejvm.scenario" <<'SCENARIO'
main_class=com/example/hello/HelloApp
main=return
print_out=Hello from the example application (played by the test-only jvm.dll)
SCENARIO

echo "== packing HelloApp"
java -jar build/win32/packer/javalauncher-pack.jar \
    --name HelloApp --jar "$work/hello.jar" --icon example/HelloApp.ico \
    --version 1.2.3.4 --company "Example Ltd" --description "Hello Example" \
    --upgrade-code "{2D8F4B6A-3C1E-4F7D-8A9B-0E5C6D7F8A91}" --base-settings example/HelloApp.ini \
    --setting 'Application/Cmd=--greeting "from the settings file"' \
    --runtime "$work/runtime" --out "$app" --msi "$work/HelloApp-1.2.3.msi" \
    --file-association ".hello=Hello greeting"
(cd "$app" && find . -maxdepth 3 -not -name '.' | sort | sed 's/^/  /')

export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/javalauncher-wine-$(id -u)}"
xvfb_pid=
if [ -z "${DISPLAY:-}" ]; then
    exec 5> "$work/display"
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$work/display")"
fi
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT

echo "== what Windows reads from HelloApp.exe (version resource and icons)"
tools/wine-run build/win32/tests/packer/packed_probe.exe "Z:${app//\//\\}\\HelloApp.exe"
echo "== running HelloApp.exe under Wine"
# windriver starts the program, reports any window it shows (pressing OK) and its exit code.
tools/wine-run build/win32/tests/support/windriver.exe --timeout 120000 --press 1 \
    "Z:${app//\//\\}\\HelloApp.exe" first-argument "second argument"
echo "== what the launcher handed the JVM (jre/bin/client/fakejvm.record)"
cat "$app/jre/bin/client/fakejvm.record"
echo "== the program's standard output ($app/logs)"
cat "$app"/logs/out-*.log
echo

echo "== installing build/example/HelloApp-1.2.3.msi with msiexec /i ... /qn (per user)"
# Wine's 64-bit msiexec and cmd: 32-bit programs run through qemu-user on some hosts, slowly.
system64="$WINEPREFIX/drive_c/windows/system32"
msiexec() { tools/wine-run "$system64/msiexec.exe" "$@" /qn; }
msiexec /i "Z:${work//\//\\}\\HelloApp-1.2.3.msi"
local_app_data=$(tools/wine-run "$system64/cmd.exe" /c 'echo %LOCALAPPDATA%' | tr -d '\r')
installed="$local_app_data\\Programs\\HelloApp"
echo "installed into $installed:"
unix_installed=$(tools/wine-run "$system64/winepath.exe" -u "$installed")
(cd "$unix_installed" && find . -maxdepth 3 -not -name '.' | sort | sed 's/^/  /')
echo "== running the installed HelloApp.exe"
tools/wine-run build/win32/tests/support/windriver.exe --timeout 120000 --press 1 \
    "$installed\\HelloApp.exe" "started from the installed copy"
echo "== the installed program's standard output"
cat "$unix_installed"/logs/out-*.log
echo
echo "== uninstalling with msiexec /x ... /qn"
msiexec /x "Z:${work//\//\\}\\HelloApp-1.2.3.msi"
# What the application wrote there (its logs) is its own and stays; the example removes it.
rm -rf "$unix_installed"
echo "uninstalled"
