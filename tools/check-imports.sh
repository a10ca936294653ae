#!/bin/sh
# Fails when a Windows executable or DLL imports anything but Windows system DLLs, so a runtime
# DLL dependency (libstdc++, libgcc, winpthread) can never slip in. gdiplus.dll is not on the
# list: the splash window binds GDI+ on first use, so a launch without it never loads GDI+.
set -eu
file="$1"
allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comctl32.dll comdlg32.dll
ole32.dll oleaut32.dll msvcrt.dll shlwapi.dll version.dll ntdll.dll"
imports=$(objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "no import table found in $file"; exit 1; }
status=0
for dll in $imports; do
    case " $(echo $allowed) " in
        *" $dll "*) echo "ok: $dll" ;;
        *) echo "not a system DLL: $dll"; status=1 ;;
    esac
done
exit $status
