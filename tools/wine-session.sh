# Sourced by scripts that run Windows programs under Wine: a throw-away Wine prefix in a work
# folder, an X server of its own and one persistent Wine server, all ended (and the work folder
# removed) when the script exits.
# Usage: source tools/wine-session.sh WORK-FOLDER [SCREEN]   (screen default: 1280x1024x24)
wine_session_work="$1"
export WINEPREFIX="$wine_session_work/wineprefix"
export WINEDEBUG=-all QEMU_RESERVED_VA=0x81000000
# No Mono or Gecko prompts, and no debugger for a program that crashes: where 32-bit code is
# emulated, Wine's automatic winedbg can hang, holding a test until its time-out.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=};winedbg.exe=d"
wine_session_xvfb=
wine_session_end() {
    wineserver -k 2>/dev/null || true
    if [ -n "$wine_session_xvfb" ]; then kill "$wine_session_xvfb" 2>/dev/null || true; fi
    rm -rf "$wine_session_work"
}
trap wine_session_end EXIT

exec 5> "$wine_session_work/display"
Xvfb -displayfd 5 -screen 0 "${2:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
wine_session_xvfb=$!
for _ in $(seq 50); do [ -s "$wine_session_work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$wine_session_work/display")"

"$(dirname "${BASH_SOURCE[0]}")/wine-prefix" "$WINEPREFIX" >&2
wineserver -p 2>/dev/null || true
