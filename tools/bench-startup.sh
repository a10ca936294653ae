#!/bin/bash
# Start-up cost of the launcher: microseconds from process creation to the JNI_CreateJavaVM call
# (recorded by the test-only jvm.dll), for a typical settings file and a registry holding 20
# runtimes, side by side with a minimal loader that only calls LoadLibraryW and
# JNI_CreateJavaVM with fixed options. The runtime sources outside the registry are busy too:
# JAVA_HOME names a runtime, the Path has 30 entries (java.exe in the last) and 10 vendor
# folders hold runtimes, all of them below the registry's best. Prints both medians and their
# ratio, the floor (fastest launcher start minus fastest loader start: the launcher's own cost
# with the least noise), and the memory each process holds at that moment (committed private
# memory and working set, medians in KiB).
#
# Usage: tools/bench-startup.sh [win32|win64] [rounds]   (after tools/build.sh)
# BENCH_LAUNCHER=<path> measures another launcher build against the same loader;
# BENCH_SAMPLES=1 prints every sample in the order taken; BENCH_SOURCES=<value> sets "Runtime
# Sources" (BENCH_SOURCES=Registry measures the launcher without the other sources).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree="${1:-win32}"
runs="${2:-6}"
build="$root/build/$tree"
if [ "$tree" = win64 ]; then launcher=launcher64.exe; view=""; else launcher=launcher.exe; view="Wow6432Node\\"; fi

work=$(mktemp -d "${TMPDIR:-/tmp}/javalauncher-bench.XXXXXX")
export WINEPREFIX="${WINEPREFIX:-$work/wineprefix}"
# The persistent server and the prefix's services would otherwise outlive the run, holding
# the caller's output open.
vendors="$WINEPREFIX/drive_c/Program Files/Eclipse Adoptium"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work" "$vendors"' EXIT
"$root/tools/wine-prefix" "$WINEPREFIX" >/dev/null 2>&1 </dev/null
wineserver -p >/dev/null 2>&1 </dev/null || true

app="$work/app"
mkdir -p "$app/lib"
cp "${BENCH_LAUNCHER:-$build/launcher/$launcher}" "$app/Bench.exe"
for jar in core ui data net util; do echo PK > "$app/lib/$jar.jar"; done
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE <<INI; } > "$app/Bench.ini"
[Product Information]
Product Name=Bench
Product Code=BENCH-1
[Java Runtime Environment]
Main Class=com.example.bench.Main
Minimum Version=1.6
Maximum Version=any
JVM Type=client
${BENCH_SOURCES:+Runtime Sources=$BENCH_SOURCES}
Virtual Machine Parameters=-Xmx25:64:512P -Xss1m -Dbench.name="startup bench" -ea
[Class Path]
Class Path=\lib\*.jar;%SystemRoot%\absent.jar
[Application]
Cmd=--mode "bench run"
INI

# Twenty registered runtimes; the highest version wins.
reg="$work/runtimes.reg"
printf 'Windows Registry Editor Version 5.00\r\n\r\n' > "$reg"
for n in $(seq 1 20); do
    rt="$work/rt$n"
    mkdir -p "$rt/bin/client"
    : > "$rt/bin/java.dll"
    cp "$build/tests/support/fakejvm.dll" "$rt/bin/client/jvm.dll"
    printf 'main_class=com/example/bench/Main\nmain=return\n' > "$rt/bin/client/fakejvm.scenario"
    home="Z:${rt//\//\\\\}\\\\"
    printf '[HKEY_LOCAL_MACHINE\\Software\\%sJavaSoft\\JRE\\1.8.0_%d]\r\n"JavaHome"="%s"\r\n\r\n' \
        "$view" "$((100 + n))" "$home" >> "$reg"
done
/usr/lib/wine/wine64 regedit /S "Z:${reg//\//\\}"
chosen="$work/rt20/bin/client"

# Runtimes outside the registry, each with a "release" file and a library, none the best.
other_runtime() {  # other_runtime FOLDER
    mkdir -p "$1/bin/client"
    printf 'JAVA_VERSION="1.8.0_99"\n' > "$1/release"
    cp "$build/tests/support/fakejvm.dll" "$1/bin/client/jvm.dll"
}
other_runtime "$work/javahome"
export JAVA_HOME="Z:${work//\//\\}\\javahome"
winepath=""
for n in $(seq 1 29); do winepath+="Z:${work//\//\\}\\nothing$n\\bin;"; done
other_runtime "$work/onpath"
: > "$work/onpath/bin/java.exe"
export WINEPATH="${winepath}Z:${work//\//\\}\\onpath\\bin"
for n in $(seq 1 10); do other_runtime "$vendors/jdk-8u$n-hotspot"; done

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
created_us() { sed -n 's/^create_us //p' "$chosen/fakejvm.record"; }
memory_of() {  # memory_of SAMPLES-FILE FIELD
    sed -n "s/^create_memory.* $2=\([0-9]*\).*/\1/p" "$1" | median
}

: > "$work/launcher.txt"
: > "$work/minimal.txt"
run_launcher() {
    rm -f "$chosen/fakejvm.record"
    "$root/tools/wine-run" "$app/Bench.exe" >/dev/null 2>&1 || true
    created_us >> "$work/launcher.txt"
    grep '^create_memory ' "$chosen/fakejvm.record" >> "$work/launcher-memory.txt" || true
}
run_minimal() {
    rm -f "$chosen/fakejvm.record"
    "$root/tools/wine-run" "$build/tests/support/minimal_loader.exe" "Z:${chosen//\//\\}\\jvm.dll" >/dev/null 2>&1 || true
    created_us >> "$work/minimal.txt"
    grep '^create_memory ' "$chosen/fakejvm.record" >> "$work/minimal-memory.txt" || true
}
# One warm-up start of each, then rounds of A B B A, so that a drift in the machine's load
# (other builds) weighs on both sides alike.
run_launcher; run_minimal
: > "$work/launcher.txt"
: > "$work/minimal.txt"
: > "$work/launcher-memory.txt"
: > "$work/minimal-memory.txt"
for _ in $(seq "$runs"); do
    run_launcher; run_minimal; run_minimal; run_launcher
done
/usr/lib/wine/wine64 reg delete 'HKLM\Software\JavaSoft\JRE' /f /reg:64 >/dev/null 2>&1 || true
/usr/lib/wine/wine64 reg delete 'HKLM\Software\JavaSoft\JRE' /f /reg:32 >/dev/null 2>&1 || true

launcher_median=$(median < "$work/launcher.txt")
minimal_median=$(median < "$work/minimal.txt")
echo "tree: $tree, rounds: $runs (A B B A, $((2 * runs)) starts each)"
echo "launcher:       median $launcher_median us from process creation to JNI_CreateJavaVM"
echo "minimal loader: median $minimal_median us"
launcher_fastest=$(sort -n "$work/launcher.txt" | head -n1)
minimal_fastest=$(sort -n "$work/minimal.txt" | head -n1)
echo "floor:          $((launcher_fastest - minimal_fastest)) us (fastest launcher start minus fastest loader start)"
for side in launcher minimal; do
    printf '%-15s private %s KiB, working set %s KiB, peak working set %s KiB\n' "$side memory:" \
        "$(memory_of "$work/$side-memory.txt" private_kib)" \
        "$(memory_of "$work/$side-memory.txt" working_set_kib)" \
        "$(memory_of "$work/$side-memory.txt" peak_working_set_kib)"
done
if [ -n "${BENCH_SAMPLES:-}" ]; then
    echo "launcher samples: $(tr '\n' ' ' < "$work/launcher.txt")"
    echo "minimal samples:  $(tr '\n' ' ' < "$work/minimal.txt")"
fi
awk -v a="$launcher_median" -v b="$minimal_median" \
    'BEGIN { printf "ratio: %.3f (launcher adds %.1f %%)\n", a / b, (a / b - 1) * 100 }'
