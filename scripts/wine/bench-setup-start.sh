#!/usr/bin/env bash
# How long setup.exe takes to show its first page, beside the least a dialog program needs
# (tests/wine-setup/MinimalDialog.cpp: one dialog from a template with one button). Both
# are built as the programs ship (scripts/build-programs.sh's flags), started the same way
# from the package folder of one Wine prefix under a virtual desktop, and timed by
# setup_driver.exe from CreateProcess until the window and its first page (or first
# control) are visible; then closed. The two take turns, one unmeasured start each first.
# A measurement, not a test: it prints the times, their medians and the ratio (goal: at
# most 1.2) and fails only when a program does not show or does not end.
#
#   scripts/wine/bench-setup-start.sh [--no-build] [RUNS]      (RUNS: 10)
#
# Variables: KLM_BENCH_ARCHES (default win32; "win32 win64" for both), KLM_BENCH_VERSION
# (default win7), KLM_BENCH_BUILD_DIR (default build-programs), plus those of lib.sh.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"

build=1
[[ ${1:-} == --no-build ]] && { build=0; shift; }
runs=${1:-10}
build_dir=${KLM_BENCH_BUILD_DIR:-$repo/build-programs}
version=${KLM_BENCH_VERSION:-win7}

if [[ $build == 1 ]]; then
    cmake -S "$repo" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" -DKLM_MINGW_THREADS=win32 \
        -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null || exit 1
    cmake --build "$build_dir" -j"$(nproc)" --target setup minimal_dialog setup_driver >/dev/null || exit 1
    "$repo/scripts/build-package.sh" --for-wine "$package" >/dev/null || exit 1
fi
setup_exe=$build_dir/src/setup.exe
minimal=$build_dir/tests/wine-setup/minimal_dialog.exe
driver=$build_dir/tests/wine-setup/setup_driver.exe
for f in "$setup_exe" "$minimal" "$driver" "$package/DRVCONFIG/setup.ini"; do
    [[ -f $f ]] || { klm_log "missing $f: build first"; exit 1; }
done

klm_install_trap
klm_start_xvfb || exit 1

status=0
for arch in ${KLM_BENCH_ARCHES:-win32}; do
    if ! klm_run_prefix "$arch" || ! klm_set_version "$KLM_PREFIX" "$version"; then
        klm_log "$arch: prefix not prepared"
        status=1
        continue
    fi
    rm -rf "$KLM_PREFIX/drive_c/pkg" "$KLM_PREFIX/drive_c/tools"
    cp -a "$package" "$KLM_PREFIX/drive_c/pkg" && cp "$setup_exe" "$minimal" "$KLM_PREFIX/drive_c/pkg/" &&
        mkdir -p "$KLM_PREFIX/drive_c/tools" && cp "$driver" "$KLM_PREFIX/drive_c/tools/" || { status=1; continue; }
    echo "== $arch prefix ($version), $runs starts each, ms from CreateProcess to the first page shown"
    (cd "$KLM_PREFIX/drive_c/tools" && klm_in_prefix "$KLM_PREFIX" wine setup_driver.exe \
        bench 'C:\pkg\setup.exe' 'C:\pkg' "Printer Driver Setup" "$runs" 'C:\pkg\minimal_dialog.exe' "Minimal Dialog" \
        </dev/null) | tr -d '\r' || status=1
    WINEPREFIX=$KLM_PREFIX timeout -k 5 20 wineserver -k >/dev/null 2>&1
done
exit "$status"
