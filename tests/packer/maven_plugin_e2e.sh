#!/bin/bash
# The Maven plugin in a sample project (a jar with a main class and one dependency): "mvn
# package" packs it; the packed executable runs under Wine on the test-only runtime and gets
# the jar and the dependency as its class path; packing again keeps the files the application
# wrote; a bad parameter fails the build with the packer's message and changes nothing; and the
# documented CI script that calls the packer itself packs the same project.
# Usage: maven_plugin_e2e.sh SOURCE_ROOT WIN32_TREE MVN [MAVEN-ARGUMENTS...]
set -euo pipefail
root="$1"
win32="$2"
shift 2
mvn=("$@")
work=$(mktemp -d "${TMPDIR:-/tmp}/maven-e2e.XXXXXX")
trap 'rm -rf "$work"' EXIT
# shellcheck source=../support/wine_checks.sh
source "$root/tests/support/wine_checks.sh"

cp -r "$root/tests/packer/maven-sample" "$work/sample"
runtime="$work/runtime32"
mkdir -p "$runtime/bin/client"
: > "$runtime/bin/java.dll"
cp "$win32/tests/support/fakejvm.dll" "$runtime/bin/client/jvm.dll"
printf 'main_class=com/example/sample/HelloMaven\nmain=return\n' \
    > "$runtime/bin/client/fakejvm.scenario"
package() {  # package LOG [MAVEN-ARGUMENTS...]: "mvn package" in the sample, its status
    local log="$1"
    shift
    "${mvn[@]}" -f "$work/sample/pom.xml" -Djavalauncher.runtime="$runtime" "$@" package \
        > "$log" 2>&1
}

out="$work/sample/target/HelloMaven"
status=0
package "$work/first.txt" || status=$?
check "mvn package succeeded" <(echo "status $status") "status 0"
check "the build log says what was packed" "$work/first.txt" \
    "javalauncher: packed HelloMaven into $out"
check "the build log shows the equivalent packer command line" "$work/first.txt" \
    "--jar=$work/sample/target/hello-maven-1.2.3-SNAPSHOT.jar"
ls -R "$out" > "$work/files.txt" 2>&1 || true
for file in HelloMaven.exe HelloMaven64.exe HelloMaven.ini hello-maven-1.2.3-SNAPSHOT.jar \
    commons-lang3-3.12.0.jar jvm.dll; do
    check "the pack holds $file" "$work/files.txt" "$file"
done

"$root/tools/wine-run" "$win32/tests/support/windriver.exe" --timeout 240000 --press 1 \
    "$(windows_path "$out/HelloMaven.exe")" > "$work/run.txt" 2>&1 || true
record="$out/jre/bin/client/fakejvm.record"
touch "$record"
check "the packed executable ran the program and ended with 0" "$work/run.txt" "exit code: 0"
check "the main class came from the manifest the pom configured" "$record" \
    "checkAndLoadMain 1 1 com.example.sample.HelloMaven"
check_line "the class path is the project's jar and its dependency" "$record" \
    "option -Djava.class.path=$(windows_path "$out/lib/hello-maven-1.2.3-SNAPSHOT.jar");$(
        windows_path "$out/lib/commons-lang3-3.12.0.jar")"
"$root/tools/wine-run" "$win32/tests/packer/packed_probe.exe" \
    "$(windows_path "$out/HelloMaven.exe")" > "$work/probe.txt" 2>&1 || true
check "1.2.3-SNAPSHOT became file version 1.2.3.0" "$work/probe.txt" \
    "fixed file 1.2.3.0 product 1.2.3.0"
check "the company came from the pom's organization" "$work/probe.txt" \
    "string CompanyName=Example Ltd"

# The application's own files: the runtime's record and a log beside the executables.
echo "written by the application" > "$out/HelloMaven.log"
cp "$record" "$work/record.before"
status=0
package "$work/second.txt" || status=$?
check "packing again succeeded" <(echo "status $status") "status 0"
check "packing again kept the application's log" "$out/HelloMaven.log" \
    "written by the application"
if cmp -s "$record" "$work/record.before"; then
    echo "ok: packing again kept the record the runtime wrote"
else
    echo "FAIL: packing again changed or removed $record"; failures=$((failures + 1))
fi

sha256sum "$out/HelloMaven.exe" "$out/HelloMaven.ini" > "$work/sums.txt"
status=0
package "$work/bad.txt" -Djavalauncher.upgradeCode=not-a-guid || status=$?
check "a bad parameter failed the build" <(echo "status $status") "status 1"
check "the build failed with the packer's message" "$work/bad.txt" \
    "--upgrade-code \"not-a-guid\": give a GUID"
if sha256sum --quiet -c "$work/sums.txt" >/dev/null 2>&1; then
    echo "ok: the failed build left the pack as it was"
else
    echo "FAIL: the failed build changed the pack"; failures=$((failures + 1))
fi

# The CI shell script of docs/packing.md, for builds that call the packer themselves.
status=0
(
    cd "$work/sample"
    "${mvn[@]}" -Djavalauncher.skip package dependency:copy-dependencies \
        -DincludeScope=runtime -DoutputDirectory=target/deps
    jars=(--jar target/hello-maven-1.2.3-SNAPSHOT.jar)
    for dep in target/deps/*.jar; do jars+=(--jar "$dep"); done
    java -jar "$win32/packer/javalauncher-pack.jar" --name MyApp "${jars[@]}" --version 1.2.3 \
        --out dist/MyApp
) > "$work/ci.txt" 2>&1 || status=$?
check "the CI script packed" <(echo "status $status") "status 0"
ls "$work/sample/dist/MyApp/lib" > "$work/ci-files.txt" 2>&1 || true
check "the CI script packed the dependency" "$work/ci-files.txt" "commons-lang3-3.12.0.jar"

checks_done
