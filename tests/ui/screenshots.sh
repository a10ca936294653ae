#!/bin/sh
# Screenshots of the exception dialog as it opens and after it was enlarged by 100 x 50 pixels.
#
#   tests/ui/screenshots.sh <windows-build-dir> [output-dir]
#
# Writes exception-dialog-before.png and exception-dialog-after.png into the output folder
# (default: <windows-build-dir>/test-output/ui). Uses $DISPLAY when set, otherwise starts its
# own Xvfb on display :96 (override with UI_SCREENSHOT_DISPLAY) and stops it afterwards.
set -eu

build_dir=$(cd "${1:?usage: $0 <windows-build-dir> [output-dir]}" && pwd)
out_dir=${2:-$build_dir/test-output/ui}
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../tools/wine-run
demo=$build_dir/tests/ui/exception_dialog_demo.exe
[ -f "$demo" ] || { echo "missing $demo (build target exception_dialog_demo)" >&2; exit 1; }
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)

xvfb_pid=
demo_pid=
cleanup() {
    [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -f "$out_dir"/before.ready "$out_dir"/before.done "$out_dir"/after.ready "$out_dir"/after.done
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    DISPLAY=${UI_SCREENSHOT_DISPLAY:-:96}
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    sleep 1
fi
export DISPLAY

# Waits up to 120 s for a stage file of the demo.
await() {
    i=0
    while [ ! -f "$out_dir/$1" ]; do
        i=$((i + 1))
        if [ $i -gt 1200 ]; then echo "timed out waiting for $1" >&2; exit 1; fi
        sleep 0.1
    done
}

rm -f "$out_dir"/before.* "$out_dir"/after.*
(cd "$out_dir" && exec "$wine_run" "$demo") &
demo_pid=$!

await before.ready
import -window root "$out_dir/exception-dialog-before.png"
touch "$out_dir/before.done"
await after.ready
import -window root "$out_dir/exception-dialog-after.png"
touch "$out_dir/after.done"
wait "$demo_pid" || true
demo_pid=
echo "screenshots: $out_dir/exception-dialog-before.png $out_dir/exception-dialog-after.png"
