#!/usr/bin/env bash
# check-imports.sh EXE...: fails when a Windows executable imports a DLL that a bare
# Windows 2000 does not bring along (a C++ runtime DLL, for instance, left by a
# non-static link).
set -euo pipefail

allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll winspool.drv shell32.dll comctl32.dll \
comdlg32.dll version.dll setupapi.dll msvcrt.dll"

if [[ $# -eq 0 ]]; then
    echo "usage: $0 EXE..." >&2
    exit 2
fi
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

status=0
for exe in "$@"; do
    if ! dump=$("$objdump" -p "$exe"); then
        echo "$exe: cannot read imports" >&2
        status=1
        continue
    fi
    dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr 'A-Z' 'a-z' | sort -u)
    for dll in $dlls; do
        if [[ " $allowed " == *" $dll "* ]]; then
            echo "$exe: $dll"
        else
            echo "$exe: $dll NOT ALLOWED" >&2
            status=1
        fi
    done
done
exit $status
