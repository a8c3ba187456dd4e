#!/usr/bin/env bash
# Runs the native unit tests under AddressSanitizer and UBSan, then fuzzes the
# configuration readers for a bounded time.
#
#   scripts/sanitize-and-fuzz.sh [SECONDS]     (fuzzing time, default 60)
#
# Build folders: build-asan (tests) and build-fuzz (fuzzer), beside this script's repository.
# Exit status: 0 when the tests pass and the fuzzer found nothing; 1 on any test failure,
# sanitizer report or fuzzer finding; 2 when a tool is missing. It installs nothing: the
# caller provides cmake, a C++ compiler, GoogleTest, clang++ and libclang-rt-14-dev.
set -u -o pipefail

FUZZ_SECONDS=${1:-60}
if ! [[ "$FUZZ_SECONDS" =~ ^[0-9]+$ ]] || [ "$FUZZ_SECONDS" -lt 1 ]; then
    echo "usage: $0 [SECONDS]   (a positive whole number of seconds; default 60)" >&2
    exit 2
fi

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ASAN_DIR="$ROOT/build-asan"
FUZZ_DIR="$ROOT/build-fuzz"
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}

missing=()
command -v cmake >/dev/null || missing+=("cmake")
command -v clang++ >/dev/null || missing+=("clang")
# libFuzzer and the sanitizer runtimes of clang 14 come in their own package.
dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || missing+=("libclang-rt-14-dev")
dpkg -s libgtest-dev >/dev/null 2>&1 || [ -f /usr/include/gtest/gtest.h ] || missing+=("libgtest-dev")
if [ ${#missing[@]} -gt 0 ]; then
    echo "missing: ${missing[*]} (install them first; this script installs nothing)" >&2
    exit 2
fi

status=0
summary=()

# --- (a) unit tests with AddressSanitizer and UBSan -----------------------------------------
echo "== unit tests with AddressSanitizer + UBSan ($ASAN_DIR)"
asan_log="$ASAN_DIR/unit_tests.log"
if cmake -S "$ROOT" -B "$ASAN_DIR" -DENABLE_SANITIZERS=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
   cmake --build "$ASAN_DIR" -j "$JOBS" --target unit_tests; then
    # Every UBSan finding stops the run; leaks are findings too.
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:strict_string_checks=1" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        "$ASAN_DIR/tests/unit_tests" --gtest_brief=1 >"$asan_log" 2>&1
    rc=$?
    tail -n 5 "$asan_log"
    passed=$(grep -Eo '\[  PASSED  \] [0-9]+ test' "$asan_log" | grep -Eo '[0-9]+' || true)
    if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$asan_log"; then
        grep -E -m 5 -A 3 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$asan_log"
        [ "$rc" -eq 0 ] && rc=1
    fi
    if [ "$rc" -eq 0 ]; then
        summary+=("unit tests (ASan+UBSan): passed, ${passed:-?} tests")
    else
        summary+=("unit tests (ASan+UBSan): FAILED (exit $rc), log $asan_log")
        status=1
    fi
else
    summary+=("unit tests (ASan+UBSan): build FAILED")
    status=1
fi

# --- (b) libFuzzer on the configuration readers ----------------------------------------------
echo "== fuzzing the configuration readers for ${FUZZ_SECONDS}s ($FUZZ_DIR)"
if cmake -S "$ROOT" -B "$FUZZ_DIR" -DCMAKE_CXX_COMPILER=clang++ -DENABLE_FUZZING=ON \
         -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
   cmake --build "$FUZZ_DIR" -j "$JOBS" --target config_fuzz; then
    # New inputs go to a working corpus; the committed seeds stay as they are.
    work="$FUZZ_DIR/corpus"
    artifacts="$FUZZ_DIR/artifacts"
    mkdir -p "$work" "$artifacts"
    rm -f "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-* \
          "$artifacts"/slow-unit-*
    fuzz_log="$FUZZ_DIR/config_fuzz.log"
    # libFuzzer stops itself at -max_total_time; the outer timeout only guards against a
    # hang outside an input.
    timeout --kill-after=30 $((FUZZ_SECONDS + 300)) \
        "$FUZZ_DIR/fuzz/config_fuzz" -max_total_time="$FUZZ_SECONDS" -timeout=30 -rss_limit_mb=2048 \
        -max_len=4096 -dict="$ROOT/fuzz/config.dict" -artifact_prefix="$artifacts/" \
        -print_final_stats=1 "$work" "$ROOT/fuzz/corpus" >"$fuzz_log" 2>&1
    rc=$?
    execs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$fuzz_log" | grep -Eo '[0-9]+$' || true)
    rate=$(grep -Eo 'stat::average_exec_per_sec: *[0-9]+' "$fuzz_log" | grep -Eo '[0-9]+$' || true)
    found=$(find "$artifacts" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
             -o -name 'oom-*' \) | sort)
    echo "fuzzer exit status: $rc; executions: ${execs:-?}; executions per second: ${rate:-?}"
    if [ "$rc" -ne 0 ] || [ -n "$found" ]; then
        grep -E -m 20 'ERROR:|runtime error:|config_fuzz:|SUMMARY:|deadly signal|Test unit written' "$fuzz_log"
        if [ -n "$found" ]; then
            while IFS= read -r f; do echo "finding: $f"; done <<<"$found"
        fi
        summary+=("fuzzer: FINDING (exit $rc, ${execs:-?} executions), log $fuzz_log")
        status=1
    else
        summary+=("fuzzer: nothing found in ${execs:-?} executions (${rate:-?}/s, exit $rc)")
    fi
else
    summary+=("fuzzer: build FAILED")
    status=1
fi

echo "== summary"
printf '  %s\n' "${summary[@]}"
exit $status
