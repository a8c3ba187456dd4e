#!/usr/bin/env bash
# Builds the Windows tree and runs its test executable under Wine: in a 32-bit prefix and
# a 64-bit one (the program is 32-bit in both; the second runs it under WOW64), once per
# Windows version each prefix can report. Exits non-zero when any run fails.
#
#   scripts/wine/run-tests.sh [--no-build] [--jobs N] [-- GTEST_ARGS...]
#
# Variables: KLM_BUILD_DIR (default build-win32), KLM_WINE_LOG_DIR (default
# $KLM_BUILD_DIR/wine-logs), KLM_WINE_VERSIONS_32 / KLM_WINE_VERSIONS_64 (space-separated
# version names; set one empty to skip that prefix), plus those of lib.sh (KLM_WINE_CACHE, KLM_WINE_TIMEOUT, KLM_WINE_KEEP).
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"

build=1
jobs=$(nproc 2>/dev/null || echo 2)
gtest_args=()
while [[ $# -gt 0 ]]; do
    case $1 in
        --no-build) build=0 ;;
        --jobs) jobs=$2; shift ;;
        --) shift; gtest_args=("$@"); break ;;
        *) echo "unknown argument: $1" >&2; exit 2 ;;
    esac
    shift
done

log_dir=${KLM_WINE_LOG_DIR:-$build_dir/wine-logs}
exe=$build_dir/tests/wine/wine_tests.exe
# winecfg refuses winxp64 in a 32-bit prefix and win2k/winxp in a 64-bit one.
versions_32=${KLM_WINE_VERSIONS_32-"win2k winxp win2003 vista win2008 win7 win2008r2 win81 win10"}
versions_64=${KLM_WINE_VERSIONS_64-"winxp64 win2003 vista win2008 win7 win2008r2 win81 win10"}

if [[ $build == 1 ]]; then
    klm_log "building $build_dir"
    if [[ ! -f $build_dir/CMakeCache.txt ]]; then
        cmake -S "$repo" -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" \
            -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
    fi
    cmake --build "$build_dir" --target wine_tests -j "$jobs" >/dev/null || {
        klm_log "build failed; run: cmake --build $build_dir --target wine_tests"; exit 1; }
    klm_log "built in $(elapsed "$started") s"
fi
[[ -f $exe ]] || { klm_log "no test executable at $exe"; exit 1; }

# For the test executable this is informational; the shipped programs must pass it.
"$repo/scripts/check-imports.sh" "$exe" >/dev/null 2>&1 ||
    klm_log "note: $("$repo/scripts/check-imports.sh" "$exe" 2>&1 >/dev/null | tr '\n' ' ')"

klm_install_trap
mkdir -p "$log_dir"
rm -f "$log_dir"/*.log
# Windows need an X display; a private one keeps the tests off whatever screen is around.
klm_start_xvfb || exit 1

failures=()
summary=()
run_one() {  # prefix arch version expect_wow64
    local prefix=$1 arch=$2 version=$3 wow64=$4
    local log=$log_dir/$arch-$version.log t0 result
    t0=$(date +%s.%N)
    if ! klm_set_version "$prefix" "$version"; then
        summary+=("$(printf '%-6s %-10s %-8s %6s s' "$arch" "$version" "NO-SUCH" "-")")
        failures+=("$arch/$version (winecfg -v refused)")
        return
    fi
    KLM_EXPECT_OS=$version KLM_EXPECT_WOW64=$wow64 \
        klm_in_prefix "$prefix" wine "$exe" --gtest_color=no "${gtest_args[@]}" \
        </dev/null >"$log" 2>&1
    local rc=$?
    if [[ $rc == 0 ]]; then
        result=passed
    elif [[ $rc == 124 || $rc == 137 ]]; then
        result=TIMEOUT
        failures+=("$arch/$version (timed out, see $log)")
    else
        result=FAILED
        failures+=("$arch/$version (exit $rc, see $log)")
    fi
    summary+=("$(printf '%-6s %-10s %-8s %6s s  %s' "$arch" "$version" "$result" "$(elapsed "$t0")" \
        "$(grep -E '^\[  (PASSED|FAILED) +\]|tests? from .* ran' "$log" | tr -s ' ' | tr '\n' ' ')")")
}

for arch in win32 win64; do
    if [[ $arch == win32 ]]; then versions=$versions_32; wow64=0; else versions=$versions_64; wow64=1; fi
    [[ -n ${versions// /} ]] || continue
    t0=$(date +%s.%N)
    if ! klm_run_prefix "$arch"; then
        failures+=("$arch (no prefix)")
        continue
    fi
    klm_log "$arch prefix ready in $(elapsed "$t0") s"
    for version in $versions; do
        run_one "$KLM_PREFIX" "$arch" "$version" "$wow64"
    done
done

printf '%s\n' "${summary[@]}"
klm_log "whole run: $(elapsed "$started") s; logs in $log_dir"
if [[ ${#failures[@]} -gt 0 ]]; then
    printf 'FAILED: %s\n' "${failures[@]}" >&2
    for f in "$log_dir"/*.log; do
        grep -q '^\[  FAILED  \]' "$f" && { echo "--- $f"; grep -B8 '^\[  FAILED  \] [A-Za-z]' "$f" | head -60; }
    done >&2
    exit 1
fi
