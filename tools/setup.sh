#!/bin/bash
# Installs everything the build and the tests need on a fresh Debian 12 machine (run as root).
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(cmake ninja-build clang clang-format libclang-rt-14-dev googletest
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
          wine wine32:i386 wine64 xvfb xdotool x11-apps imagemagick
          openjdk-17-jdk-headless qemu-user-static)
# The packer: its JUnit 5 tests, Authenticode signing and the test certificates.
packages+=(junit5 osslsigncode openssl)
# Installers built by the packer (wixl), and read back by the tests and the packer's
# --msi-remove-user-settings (msitools: msiinfo, msidump, msibuild).
packages+=(wixl msitools)
# The packer's Maven plugin, built and tested offline against Debian's Maven repository.
packages+=(maven libmaven-plugin-tools-java libmaven3-core-java libmaven-compiler-plugin-java
           libmaven-resources-plugin-java libmaven-install-plugin-java libmaven-jar-plugin-java
           libsurefire-java libmaven-dependency-plugin-java libcommons-lang3-java)
# Shared compiler cache: fresh clones and work trees rebuild from it.
packages+=(ccache)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    apt_updated=no
fi
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}" >&2
    # A mirror in the middle of a sync can serve one index that does not match its release
    # file; apt then ignores that index and says so. Go on with the rest.
    apt-get update -q >/dev/null || echo "setup: some package indexes could not be read" >&2
    if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" >/dev/null; then
        # Without the i386 index of the security suite, apt cannot pair 32-bit libraries with
        # 64-bit ones it would update from there: install from the main suites alone.
        parts=$(mktemp -d)
        for list in /etc/apt/sources.list.d/*.sources; do
            if [ -f "$list" ]; then
                awk -v RS= -v ORS='\n\n' '!/debian-security/' "$list" > "$parts/${list##*/}"
            fi
        done
        for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
            if [ -f "$list" ]; then
                grep -v debian-security "$list" > "$parts/${list##*/}" || true
            fi
        done
        echo "setup: installing from the main suites alone" >&2
        DEBIAN_FRONTEND=noninteractive apt-get -o Dir::Etc::sourcelist=/dev/null \
            -o Dir::Etc::sourceparts="$parts" install -y -q "${missing[@]}" >/dev/null
        rm -rf "$parts"
    fi
fi

# Wine's 32-bit loader is a 32-bit Linux program. Some kernels refuse those (IA-32 emulation
# off); there it runs through qemu-user, registered for i386 ELF files with binfmt_misc.
probe=$(mktemp)
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\273\000\000\000\000\315\200' > "$probe"
chmod +x "$probe"
if ! "$probe" 2>/dev/null; then
    if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
        mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    fi
    if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
        echo 1 > /proc/sys/fs/binfmt_misc/qemu-i386
    else
        echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:OCF' \
            > /proc/sys/fs/binfmt_misc/register
    fi
    "$probe" || { echo "setup: 32-bit programs still cannot run" >&2; rm -f "$probe"; exit 1; }
    echo "setup: 32-bit programs run through qemu-user on this kernel" >&2
fi
rm -f "$probe"
