#!/usr/bin/env bash
# Whole installations through the real Win32 calls: the engine (install_check.exe, in the
# package folder as setup.exe would be) installs the sample package in fresh Wine
# prefixes, one printer per port kind, then again over the existing installation, and
# checks each printer through the spooler and the registry.
#
#   scripts/wine/run-install-tests.sh [--no-build]
#
# Each installation is also checked by environment and folder: the driver and the print
# processor registered for "Windows x64" in a 64-bit prefix and "Windows NT x86" in a 32-bit
# one, their files in that environment's folders, the monitor DLL in the real system folder.
#
# What differs from a real Windows, and is arranged here: the "Standard TCP/IP Port"
# monitor (our stand-in), the DriverStore's ntprint folder (Vista and later; filled with
# the package's stand-ins of the universal driver), and, in a 64-bit prefix, the monitor
# DLLs also placed in SysWOW64 and x86 twins of the package's drivers and print processor:
# Wine's spooler runs inside the 32-bit program (where a real 64-bit Windows runs a 64-bit
# spooler that loads the DLLs from the real system32) and its AddPrinter looks up a
# printer's driver and processor in "Windows NT x86" only. After the run spooler_twins
# checks that each twin is still exactly what the harness made and that nothing else went
# into the x86 folders (install-fixtures.sh).
#
# Variables: KLM_INSTALL_VERSIONS_32 (default "winxp win7 win10"), KLM_INSTALL_VERSIONS_64
# (default "win7 win2003 win10"), plus those of lib.sh.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
# shellcheck source=install-fixtures.sh
source "$here/install-fixtures.sh"

log_dir=$build_dir/install-logs
versions_32=${KLM_INSTALL_VERSIONS_32-"winxp win7 win10"}
versions_64=${KLM_INSTALL_VERSIONS_64-"win7 win2003 win10"}

if [[ $build == 1 ]]; then
    cmake -S "$repo" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" >/dev/null || exit 1
    cmake --build "$build_dir" -j"$(nproc)" --target install_check spooler_twins >/dev/null || exit 1
    "$repo/scripts/build-package.sh" --for-wine "$package" >/dev/null || exit 1
    klm_log "built in $(elapsed "$started") s"
fi
exe=$build_dir/tests/wine-install/install_check.exe
KLM_TWINS_EXE=$build_dir/tests/wine-install/spooler_twins.exe
[[ -f $exe && -f $KLM_TWINS_EXE && -f $package/DRVCONFIG/setup.ini ]] || { klm_log "nothing to run: build first"; exit 1; }

klm_install_trap
mkdir -p "$log_dir"
rm -f "$log_dir"/*.log
klm_start_xvfb || exit 1

# The prefix side of a real Windows that Wine lacks.
prepare_prefix() {
    local prefix=$1 arch=$2
    klm_prepare_windows_parts "$prefix" "$arch" "$package" "$fixtures" || return 1
    rm -rf "$prefix/drive_c/pkg"
    cp -a "$package" "$prefix/drive_c/pkg" && cp "$exe" "$prefix/drive_c/pkg/install_check.exe"
}

failures=()
summary=()
run_case() {  # prefix log-name expect-success args...
    local prefix=$1 log=$2 t; shift 2
    t=$(date +%s.%N)
    (cd "$prefix/drive_c/pkg" && klm_in_prefix "$prefix" wine install_check.exe "$@" </dev/null) >>"$log" 2>&1
    local rc=$?
    echo "  ($(elapsed "$t") s)" >>"$log"
    [[ $rc == 0 ]] && return 0
    failures+=("$(basename "$log" .log): install_check $* (exit $rc)")
    return 1
}

for arch in win32 win64; do
    if [[ $arch == win32 ]]; then versions=$versions_32; else versions=$versions_64; fi
    for version in $versions; do
        t0=$(date +%s.%N)
        log=$log_dir/$arch-$version.log
        if ! klm_run_prefix "$arch" || ! klm_set_version "$KLM_PREFIX" "$version" || ! prepare_prefix "$KLM_PREFIX" "$arch"; then
            failures+=("$arch/$version (prefix not prepared)")
            continue
        fi
        before=${#failures[@]}
        # One printer per port kind, the first made the default one.
        run_case "$KLM_PREFIX" "$log" KLM-A100 0 COM1: --default --expect-name "KLM-A100(S)"
        run_case "$KLM_PREFIX" "$log" KLM-A100 0 LPT1: --std --expect-name "KLM-A100(P)"
        # The USB steps first: no device driver yet, so the typical mode runs the package's
        # installer; one printer with identifier 1 (release 0) needs no change.
        printf 'count=1\nbcd=0\n' >"$KLM_PREFIX/drive_c/pkg/RuZuvUzu.state"
        run_case "$KLM_PREFIX" "$log" KLM-A100 0 USB_KLM-A100_1 --usb-steps typical --expect-name "KLM-A100(U) 1" \
            --expect-monitor "KLM USB Port" 4
        run_case "$KLM_PREFIX" "$log" KLM-A100 0 NET --address 192.168.1.20 --expect-name "KLM-A100(E)"
        # Over the existing installation: driver and monitors already there, and an outdated
        # monitor replaced with the spooler stopped and started again. (Wine's AddPrinter
        # overwrites a printer of the same name where Windows answers 1802, so the numbered
        # names and the refusal of a second USB printer are shown on the simulated machine.)
        run_case "$KLM_PREFIX" "$log" KLM-A100 0 LPT1: --std
        klm_in_prefix "$KLM_PREFIX" wine reg add 'HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\KLM USB Port' \
            /v DriverVersion /t REG_DWORD /d 1 /f </dev/null >/dev/null 2>&1
        # Advanced mode, driver now installed, a printer reporting identifier 2 (release 9).
        printf 'count=1\nbcd=9\n' >"$KLM_PREFIX/drive_c/pkg/RuZuvUzu.state"
        run_case "$KLM_PREFIX" "$log" KLM-A200 0 USB_KLM-A200_2 --usb-steps advanced --expect-name "KLM-A200(U) 2" \
            --expect-monitor "KLM USB Port" 4
        if [[ $arch == win64 ]]; then
            echo "-- the x86 twins after the installations:" >>"$log"
            klm_verify_x86_twins "$KLM_PREFIX" "$package" >>"$log" 2>&1 || failures+=("$arch-$version: x86 twins")
        fi
        result=passed
        [[ ${#failures[@]} -gt $before ]] && result=FAILED
        summary+=("$(printf '%-6s %-9s %-7s %5s s' "$arch" "$version" "$result" "$(elapsed "$t0")")")
        WINEPREFIX=$KLM_PREFIX timeout -k 5 20 wineserver -k >/dev/null 2>&1
    done
done

printf '%s\n' "${summary[@]}"
klm_log "whole run: $(elapsed "$started") s; logs in $log_dir"
if [[ ${#failures[@]} -gt 0 ]]; then
    printf 'FAILED: %s\n' "${failures[@]}" >&2
    grep -h -B2 -E 'FAIL|completion state 1' "$log_dir"/*.log | head -60 >&2
    exit 1
fi
