#!/usr/bin/env bash
# check-imports.sh EXE...: fails when a Windows executable imports a DLL that a bare
# Windows 2000 does not bring along (a C++ runtime DLL, for instance, left by a
# non-static link), or one of the newer functions a toolchain runtime is known to pull in
# (a missing import stops the program before main, with no message of ours).
set -euo pipefail

allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll winspool.drv shell32.dll comctl32.dll \
comdlg32.dll version.dll setupapi.dll msvcrt.dll"

# Newer than Windows 2000; those the programs need are looked up with GetProcAddress.
newer="AddVectoredExceptionHandler RemoveVectoredExceptionHandler GetTickCount64 \
GetNativeSystemInfo IsWow64Process Wow64DisableWow64FsRedirection Wow64RevertWow64FsRedirection \
GetModuleHandleExA GetModuleHandleExW InitializeCriticalSectionEx InitOnceExecuteOnce \
InitializeConditionVariable SleepConditionVariableCS WakeConditionVariable \
WakeAllConditionVariable InitializeSRWLock AcquireSRWLockExclusive ReleaseSRWLockExclusive \
AcquireSRWLockShared ReleaseSRWLockShared FlsAlloc FlsFree FlsGetValue FlsSetValue \
GetFileInformationByHandleEx GetFinalPathNameByHandleA GetFinalPathNameByHandleW \
CreateSymbolicLinkA CreateSymbolicLinkW GetLogicalProcessorInformation AttachConsole \
GetSystemTimes SetDllDirectoryA SetDllDirectoryW"

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
    # Imported function names: the last field of the hint/name lines of each import table.
    functions=$(awk '/^[[:space:]]*[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_][A-Za-z0-9_]*$/ { print $NF }' \
        <<<"$dump" | sort -u)
    for fn in $functions; do
        if [[ " $newer " == *" $fn "* ]]; then
            echo "$exe: $fn is newer than Windows 2000" >&2
            status=1
        fi
    done
done
exit $status
