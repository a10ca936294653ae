#!/bin/bash
# Sets up a fresh Debian 12 machine if needed, builds all three trees and runs every test:
# host unit tests (sanitizers), fuzzers (bounded), real-JVM tests, and the Windows-side and
# end-to-end tests under Wine in a throw-away prefix with its own X server.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

bash tools/setup.sh
bash tools/build.sh

# A Wine prefix of its own in a temporary folder, one persistent server, one X display.
work=$(mktemp -d "${TMPDIR:-/tmp}/javalauncher-test.XXXXXX")
source tools/wine-session.sh "$work"

# The first program that opens a window starts Wine's desktop process, which lives on with the
# standard streams it inherited; were that a test, CTest would wait on its output pipe until the
# time-out. Open one window here instead (the launcher's error box, closed by the driver).
tools/wine-run build/win64/tests/support/windriver.exe --timeout 30000 --close \
    "Z:${root//\//\\}\\build\\win64\\launcher\\launcher64.exe" >/dev/null 2>&1 </dev/null || true

# One CTest run over the three trees, so there is one summary at the end.
cat > build/CTestTestfile.cmake <<CTEST
subdirs("host" "win64" "win32")
CTEST
# Where Wine's 32-bit side runs through qemu-user, the emulation now and then kills a process
# (a segmentation fault or an illegal instruction inside qemu, on any commit): a failed test gets
# four more runs there, and the log shows each failure.
repeat=()
if grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null; then
    echo "run-tests: 32-bit Windows programs run through qemu-user; failed tests run up to 5 times" >&2
    repeat=(--repeat until-pass:5)
fi
ctest --test-dir build --output-on-failure -j2 "${repeat[@]}" "$@"
