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

# klm_prepare_windows_parts PREFIX ARCH PACKAGE [FIXTURE_BUILD_DIR]: what a real Windows has
# and Wine lacks, for installing the package: the TCP/IP monitor stand-in, the DriverStore's
# ntprint folder (filled with the package's stand-ins of the universal driver) and, in a
# 64-bit prefix, the monitor DLLs also in SysWOW64 (Wine's spooler runs inside the 32-bit
# program, where real 64-bit Windows loads them from the real system32).
klm_prepare_windows_parts() {
    local prefix=$1 arch=$2 package=$3 build=${4:-${KLM_FIXTURE_BUILD_DIR:-$_klm_fixture_repo/build-fixtures}}
    local windows=$prefix/drive_c/windows f
    klm_install_tcpmon "$prefix" "$build" || return 1
    local store=$windows/system32/DriverStore/FileRepository/ntprint.inf_x86_neutral_4e2a
    mkdir -p "$store/I386" "$store/AMD64"
    for f in UNIDRV.DLL UNIDRVUI.DLL UNIDRV.HLP UNIRES.DLL STDNAMES.GPD TTFSUB.GPD; do
        cp "$package/W32/$f" "$store/I386/$f" && cp "$package/W64/$f" "$store/AMD64/$f" || return 1
    done
    if [[ $arch == win64 ]]; then
        for f in klmcom.dll klmcomui.dll klmusb.dll klmusbui.dll klmlm.dll; do
            cp "$package/W64/$f" "$windows/syswow64/$f" || return 1
        done
    fi
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    set -uo pipefail
    [[ $# -ge 1 ]] || { sed -n '2,10p' "$0" >&2; exit 2; }
    export WINEDEBUG=${WINEDEBUG:--all}
    klm_install_tcpmon "$@"
fi
