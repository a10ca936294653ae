#!/bin/bash
# Takes the user's guide's pictures (docs/images/*.png) of what a user sees: the "JRE Not Found"
# dialog, the uncaught-exception dialog, an error box and the splash window. Each comes from the
# 32-bit launcher as built, in an application folder made here, run under Wine on an X server of
# its own, so the pictures are remade with the product and never edited by hand.
# Usage: tools/guide-screenshots.sh [output-folder]   (default: docs/images)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$root/docs/images}" && cd "${1:-$root/docs/images}" && pwd)
cd "$root"
bash tools/build.sh launcher fakejvm >/dev/null

launcher=build/win32/launcher/launcher.exe
fakejvm=build/win32/tests/support/fakejvm.dll
work=$(mktemp -d "${TMPDIR:-/tmp}/guide-shots.XXXXXX")
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
source tools/wine-session.sh "$work" 1024x768x24 2>/dev/null

# An application folder: MyApp.exe, MyApp.ini (CR LF lines from the arguments) and, unless the
# scenario is "none", a runtime in jre\ played by the test-only jvm.dll with that scenario.
make_app() {
    local name="$1" scenario="$2"; shift 2
    local app="$work/$name"
    mkdir -p "$app/lib"
    cp "$launcher" "$app/MyApp.exe"
    printf 'PK' > "$app/lib/myapp.jar"
    printf '%s\r\n' "$@" > "$app/MyApp.ini"
    if [ "$scenario" != none ]; then
        mkdir -p "$app/jre/bin/client"
        : > "$app/jre/bin/java.dll"
        cp "$fakejvm" "$app/jre/bin/client/jvm.dll"
        printf '%b' "$scenario" > "$app/jre/bin/client/fakejvm.scenario"
    fi
}

# The first visible window that xdotool finds with the arguments, or, for "--size WxH", the
# first window of that size anywhere in the tree (the splash is an unmanaged popup without a
# title or class that xdotool could match).
find_window() {
    if [ "$1" = --size ]; then
        local id="" tries=0
        while [ -z "$id" ] && [ $((tries += 1)) -le 240 ]; do
            sleep 0.5
            id=$(xwininfo -root -tree | awk -v size=" $2+" 'index($0, size) { print $1; exit }')
        done
        [ -n "$id" ] && echo "$id"
    else
        timeout 120 xdotool search --sync --onlyvisible "$@" | head -n1
    fi
}

# Starts the application, waits for a visible window that xdotool finds, captures it and ends
# the program.
shoot() {
    local name="$1" picture="$2" window
    shift 2  # the rest: how xdotool finds the window
    (cd "$work/$name" && exec "$root/tools/wine-run" "$work/$name/MyApp.exe" >/dev/null 2>&1) &
    local pid=$!
    window=$(find_window "$@") && [ -n "$window" ] || {
        echo "guide-screenshots: no window ($*) for $name" >&2
        exit 1
    }
    sleep 4  # let the window paint its controls (slowly where 32-bit code is emulated)
    import -window "$window" "$out/$picture"
    wineserver -k 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    wineserver -p 2>/dev/null || true
    echo "guide-screenshots: $out/$picture"
}

make_app jre-not-found none '[Java Runtime Environment]' 'Main Class=com.example.Main' \
    'Minimum Version=17' '[Class Path]' 'Class Path=\lib\myapp.jar'
shoot jre-not-found jre-not-found.png --name '^JRE Not Found$'

make_app exception 'main_class=com/example/Main\nmain=throw\ntrace=java.lang.IllegalStateException: settings folder missing\\r\\n\\tat com.example.Main.loadSettings(Main.java:42)\\r\\n\\tat com.example.Main.main(Main.java:17)\\r\\n\n' \
    '[Java Runtime Environment]' 'Main Class=com.example.Main' '[Class Path]' \
    'Class Path=\lib\myapp.jar' '[Application]' 'Failure Check=Yes'
shoot exception exception-dialog.png --name '^Java Exception$'

make_app error-box 'main_class=com/example/Main\n' '[Java Runtime Environment]' \
    '[Class Path]' 'Class Path=\lib\myapp.jar'
shoot error-box error-box.png --name '^Error$'

make_app splash 'main_class=com/example/Main\nmain=sleep:60000\n' \
    '[Java Runtime Environment]' 'Main Class=com.example.Main' '[Class Path]' \
    'Class Path=\lib\myapp.jar' '[Display]' 'Splash Screen=splash.png'
convert -size 400x240 gradient:'#1d4f91-#5fa8d3' -fill white -draw 'roundrectangle 30,150 370,170 8,8' \
    -fill '#1d4f91' -draw 'rectangle 34,154 250,166' "$work/splash/splash.png"
shoot splash splash.png --size 400x240
