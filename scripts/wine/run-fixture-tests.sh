#!/usr/bin/env bash
# Builds the test package (scripts/build-package.sh --for-wine) and shows under Wine that its
# stand-ins do their job: the fixture test program runs in a 32-bit and a 64-bit prefix (the
# program is 32-bit in both, like setup), each with the TCP/IP port monitor stand-in
# installed. Exits non-zero when any run fails.
#
#   scripts/wine/run-fixture-tests.sh [--no-build] [-- CASE_FILTER]
#
# Variables: KLM_PACKAGE_OUT (default build-package), KLM_FIXTURE_BUILD_DIR (default
# build-fixtures), KLM_WINE_LOG_DIR (default $KLM_FIXTURE_BUILD_DIR/wine-logs),
# KLM_WINE_VERSIONS_32 / KLM_WINE_VERSIONS_64 (Windows versions to run; default winxp and
# win7; set one empty to skip that prefix), plus those of lib.sh.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"
# shellcheck source=install-fixtures.sh
source "$here/install-fixtures.sh"

build=1
filter=()
while [[ $# -gt 0 ]]; do
    case $1 in
        --no-build) build=0 ;;
        --) shift; filter=("$@"); break ;;
        *) echo "unknown argument: $1" >&2; exit 2 ;;
    esac
    shift
done

export KLM_FIXTURE_BUILD_DIR=$fixtures
log_dir=${KLM_WINE_LOG_DIR:-$fixtures/wine-logs}
exe=$fixtures/i686/test/fixture_tests.exe
versions_32=${KLM_WINE_VERSIONS_32-winxp}
versions_64=${KLM_WINE_VERSIONS_64-win7}

if [[ $build == 1 ]]; then
    "$repo/scripts/build-package.sh" --for-wine "$package" || exit 1
    klm_log "package built in $(elapsed "$started") s"
fi
[[ -f $exe ]] || { klm_log "no test program at $exe"; exit 1; }
[[ -f $package/DRVCONFIG/setup.ini ]] || { klm_log "no package at $package"; exit 1; }

klm_install_trap
mkdir -p "$log_dir"
rm -f "$log_dir"/*.log
# The USB driver installer shows a window.
klm_start_xvfb || exit 1

# Z: is the Unix root in every prefix.
windows_path() { local p; p=$(cd "$1" && pwd); printf 'Z:%s' "${p//\//\\}"; }
package_win=$(windows_path "$package")

failures=()
summary=()
for arch in win32 win64; do
    if [[ $arch == win32 ]]; then versions=$versions_32; wow64=0; else versions=$versions_64; wow64=1; fi
    [[ -n ${versions// /} ]] || continue
    t0=$(date +%s.%N)
    if ! klm_run_prefix "$arch"; then
        failures+=("$arch (no prefix)")
        continue
    fi
    if ! klm_install_tcpmon "$KLM_PREFIX" "$fixtures"; then
        failures+=("$arch (TCP/IP monitor not installed)")
        continue
    fi
    klm_log "$arch prefix ready in $(elapsed "$t0") s"
    for version in $versions; do
        log=$log_dir/$arch-$version.log
        t1=$(date +%s.%N)
        if ! klm_set_version "$KLM_PREFIX" "$version"; then
            failures+=("$arch/$version (winecfg -v refused)")
            continue
        fi
        KLM_PACKAGE_DIR=$package_win KLM_EXPECT_WOW64=$wow64 \
            klm_in_prefix "$KLM_PREFIX" wine "$exe" "${filter[@]}" </dev/null >"$log" 2>&1
        rc=$?
        case $rc in
            0) result=passed ;;
            124|137) result=TIMEOUT; failures+=("$arch/$version (timed out, see $log)") ;;
            *) result=FAILED; failures+=("$arch/$version (exit $rc, see $log)") ;;
        esac
        summary+=("$(printf '%-6s %-10s %-8s %6s s  %s' "$arch" "$version" "$result" "$(elapsed "$t1")" \
            "$(grep -E '^\[==========\]' "$log" | tr -s ' ')")")
    done
done

printf '%s\n' "${summary[@]}"
klm_log "whole run: $(elapsed "$started") s; logs in $log_dir"
if [[ ${#failures[@]} -gt 0 ]]; then
    printf 'FAILED: %s\n' "${failures[@]}" >&2
    for f in "$log_dir"/*.log; do
        if ! grep -q '^\[==========\]' "$f"; then
            # No summary: the program died (a crash inside a fixture DLL, typically).
            echo "--- $f: ended during $(grep '^\[ RUN' "$f" | tail -1 | sed 's/^\[ RUN *\] //')"
            tail -25 "$f"
        elif grep -q 'FAILED' "$f"; then
            echo "--- $f"
            grep -E 'FAILED|failed:|^      ' "$f" | head -60
        fi
    done >&2
    exit 1
fi
