#!/usr/bin/env bash
# Installs into a Wine prefix the parts of Windows that Wine lacks and setup relies on: the
# "Standard TCP/IP Port" monitor (our stand-in tcpmon.dll), registered the way Windows has it.
#
#   scripts/wine/install-fixtures.sh PREFIX [FIXTURE_BUILD_DIR]
# or, from a script that sourced lib.sh:
#   source scripts/wine/install-fixtures.sh; klm_install_tcpmon PREFIX [FIXTURE_BUILD_DIR]
#
# FIXTURE_BUILD_DIR is where scripts/build-package.sh built the fixtures (default
# build-fixtures, holding i686/out and x86_64/out).

_klm_fixture_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

klm_install_tcpmon() {
    local prefix=$1 build=${2:-${KLM_FIXTURE_BUILD_DIR:-$_klm_fixture_repo/build-fixtures}}
    local windows=$prefix/drive_c/windows
    [[ -d $windows/system32 ]] || { echo "not a Wine prefix: $prefix" >&2; return 1; }
    [[ -f $build/i686/out/tcpmon.dll ]] || { echo "no $build/i686/out/tcpmon.dll (scripts/build-package.sh)" >&2; return 1; }
    # Wine loads the monitor into the program that calls the spooler. Setup is 32-bit, so in
    # a 64-bit prefix the DLL it needs is the 32-bit one in SysWOW64 (its "system32"); a
    # 64-bit caller gets the 64-bit one from the real system32.
    if [[ -d $windows/syswow64 ]]; then
        [[ -f $build/x86_64/out/tcpmon.dll ]] || { echo "no $build/x86_64/out/tcpmon.dll" >&2; return 1; }
        cp "$build/i686/out/tcpmon.dll" "$windows/syswow64/tcpmon.dll" || return 1
        cp "$build/x86_64/out/tcpmon.dll" "$windows/system32/tcpmon.dll" || return 1
    else
        cp "$build/i686/out/tcpmon.dll" "$windows/system32/tcpmon.dll" || return 1
    fi
    # SYSTEM is not split into 32- and 64-bit views, so one value serves both.
    WINEPREFIX=$prefix timeout -k 10 "${KLM_WINE_TIMEOUT:-300}" wine reg add \
        'HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\Standard TCP/IP Port' \
        /v Driver /t REG_SZ /d tcpmon.dll /f </dev/null >/dev/null 2>&1
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    set -uo pipefail
    [[ $# -ge 1 ]] || { sed -n '2,10p' "$0" >&2; exit 2; }
    export WINEDEBUG=${WINEDEBUG:--all}
    klm_install_tcpmon "$@"
fi
