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

# klm_twin_args PACKAGE: sets the array KLM_TWIN_ARGS to spooler_twins' arguments for every
# driver and print processor name of the package's 64-bit model files.
klm_twin_args() {
    local package=$1 kind name
    KLM_TWIN_ARGS=()
    while IFS=$'\t' read -r kind name; do KLM_TWIN_ARGS+=("$kind" "$name"); done < <(
        awk -F= '{ sub(/\r$/, ""); k = $1; gsub(/^[ \t]+|[ \t]+$/, "", k)
                   v = substr($0, index($0, "=") + 1); gsub(/^[ \t]+|[ \t]+$/, "", v) }
            v == "" || substr(v, 1, 1) == "0" { next }
            k ~ /^(GDIDriverName|DriverName[SPUN])$/ && !seen["d" toupper(v)]++ { print "driver\t" v }
            k ~ /^(GDI|STD)PrintProcessor$/ && toupper(v) != "WINPRINT" && !seen["p" toupper(v)]++ { print "processor\t" v }' \
            "$package"/DRVCONFIG/*_64.ini)
    [[ ${#KLM_TWIN_ARGS[@]} -gt 0 ]] || { echo "no driver names in $package/DRVCONFIG/*_64.ini" >&2; return 1; }
}

# klm_register_x86_twins PREFIX PACKAGE TWINS_EXE: in a 64-bit prefix, an x86 record of every
# driver and print processor name the package has, before setup runs. Setup registers them
# for "Windows x64", as 64-bit Windows needs; Wine's AddPrinter, inside the 32-bit program,
# looks only in "Windows NT x86" and would refuse every printer. The twins are made unlike
# anything setup writes, so that klm_verify_x86_twins can tell them apart afterwards.
klm_register_x86_twins() {
    local prefix=$1 package=$2 exe=$3 dir=$1/drive_c/harness f
    [[ -f $exe ]] || { echo "no $exe (build the spooler_twins target)" >&2; return 1; }
    klm_twin_args "$package" || return 1
    rm -rf "$dir"
    mkdir -p "$dir/files" && cp "$exe" "$dir/spooler_twins.exe" || return 1
    for f in UNIDRV.DLL UNIDRVUI.DLL klmproc.dll; do cp "$package/W32/$f" "$dir/files/$f" || return 1; done
    if ! (cd "$dir" && WINEPREFIX=$prefix timeout -k 10 "${KLM_WINE_TIMEOUT:-300}" wine spooler_twins.exe register \
            'C:\harness\files' 'C:\harness\twins.manifest' "${KLM_TWIN_ARGS[@]}" </dev/null >"$dir/register.log" 2>&1); then
        tr -d '\r' <"$dir/register.log" >&2
        return 1
    fi
}

# klm_verify_x86_twins PREFIX PACKAGE [allow FILE]...: after a run, that every twin is still
# exactly what klm_register_x86_twins made and that the x86 driver and processor folders hold
# nothing else but the FILEs allowed (what a test adds there itself). Prints spooler_twins'
# lines; fails when one does not hold.
klm_verify_x86_twins() {
    local prefix=$1 package=$2; shift 2
    klm_twin_args "$package" || return 1
    (cd "$prefix/drive_c/harness" && WINEPREFIX=$prefix timeout -k 10 "${KLM_WINE_TIMEOUT:-300}" wine spooler_twins.exe \
        verify 'C:\harness\twins.manifest' "${KLM_TWIN_ARGS[@]}" "$@" </dev/null) 2>&1 | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# klm_prepare_windows_parts PREFIX ARCH PACKAGE [FIXTURE_BUILD_DIR]: what a real Windows has
# and Wine lacks, for installing the package: the TCP/IP monitor stand-in, the DriverStore's
# ntprint folder (filled with the package's stand-ins of the universal driver) and, in a
# 64-bit prefix, the monitor DLLs also in SysWOW64 (Wine's spooler runs inside the 32-bit
# program, where real 64-bit Windows loads them from the real system32) and the x86 twins of
# the package's drivers and print processor (klm_register_x86_twins, with the spooler_twins
# program named by KLM_TWINS_EXE).
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
        klm_register_x86_twins "$prefix" "$package" \
            "${KLM_TWINS_EXE:-${KLM_BUILD_DIR:-$_klm_fixture_repo/build-win32}/tests/wine-install/spooler_twins.exe}" || return 1
    fi
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    set -uo pipefail
    [[ $# -ge 1 ]] || { sed -n '2,10p' "$0" >&2; exit 2; }
    export WINEDEBUG=${WINEDEBUG:--all}
    klm_install_tcpmon "$@"
fi
