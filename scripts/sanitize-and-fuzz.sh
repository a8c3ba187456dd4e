#!/usr/bin/env bash
# Runs the native unit tests under AddressSanitizer and UBSan, then runs every fuzz target
# (fuzz/) for a bounded time.
#
#   scripts/sanitize-and-fuzz.sh [SECONDS]     (fuzzing time of all targets together, default 60)
#
# The time is shared out by weight: the reader targets, which run tens of thousands of
# inputs a second, get the larger shares. FUZZ_JOBS=N (default 1) runs N fuzzing processes
# per target for the longer runs on a machine with the cores to spare.
# Build folders: build-asan (tests) and build-fuzz (fuzzers), beside this script's repository.
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

# --- (b) libFuzzer, every target ---------------------------------------------------------------
# name:weight:max_len. Weights add up to 12; each target gets at least 2 seconds.
FUZZ_TARGETS=(ini_fuzz:2:1024 package_fuzz:3:4096 uninstall_fuzz:2:4096 strings_fuzz:2:2048 startup_fuzz:1:4096
              drvpkg_fuzz:2:4096)
FUZZ_JOBS=${FUZZ_JOBS:-1}

# Seeds made from the sample package in the form each target reads (an option byte, then
# the files separated by "\n@@@\n"); the committed seeds in fuzz/corpus stay as they are.
make_seeds() {
    local seeds=$1 pkg=$ROOT/package sep=$'\n@@@\n' option
    rm -rf "$seeds" && mkdir -p "$seeds/ini" "$seeds/package" "$seeds/uninstall"
    cp "$pkg"/DRVCONFIG/*.ini "$seeds/ini/"
    for f in "$pkg"/language/*.ini "$pkg"/language-zh/*.ini; do cp "$f" "$seeds/ini/$(basename "$(dirname "$f")")-$(basename "$f")"; done
    for option in 0 1 26 27; do   # Windows 7 32/64-bit, Windows 10 32/64-bit (fuzz/KeptMachine.h)
        for model in receipt ticket lable embedded; do
            { printf "\\x$(printf %02x "$option")"; cat "$pkg/DRVCONFIG/setup.ini"; printf '%s' "$sep"
              cat "$pkg/DRVCONFIG/setup_$model.ini"; printf '%s' "$sep"; cat "$pkg/language/setup.ini"
            } >"$seeds/package/$model-$option"
        done
    done
    for option in 2 0 13 29; do   # Windows 2000, 7 32-bit, 10 32/64-bit (fuzz/KeptMachine.h)
        { printf "\\x$(printf %02x "$option")"; cat "$pkg/DRVCONFIG/Uninstall.ini"; printf '%s' "$sep"
          printf 'KLM USB Port\nKLM COM Port\nKLMPrintProc\nUSB Monitor\n'; } >"$seeds/uninstall/sample-$option"
    done
}

echo "== fuzzing every target for ${FUZZ_SECONDS}s in all ($FUZZ_DIR)"
fuzz_names=()
for t in "${FUZZ_TARGETS[@]}"; do fuzz_names+=("${t%%:*}"); done
if cmake -S "$ROOT" -B "$FUZZ_DIR" -DCMAKE_CXX_COMPILER=clang++ -DENABLE_FUZZING=ON \
         -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
   cmake --build "$FUZZ_DIR" -j "$JOBS" --target "${fuzz_names[@]}"; then
    make_seeds "$FUZZ_DIR/seeds"
    artifacts="$FUZZ_DIR/artifacts"
    mkdir -p "$artifacts"
    rm -f "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-* "$artifacts"/slow-unit-*
    for t in "${FUZZ_TARGETS[@]}"; do
        IFS=: read -r name weight max_len <<<"$t"
        seconds=$((FUZZ_SECONDS * weight / 12))
        [ "$seconds" -lt 2 ] && seconds=2
        # New inputs go to a working corpus per target.
        work="$FUZZ_DIR/corpus/$name"
        mkdir -p "$work"
        seeds=()
        case $name in
            ini_fuzz) seeds=("$FUZZ_DIR/seeds/ini") ;;
            package_fuzz | startup_fuzz | drvpkg_fuzz) seeds=("$ROOT/fuzz/corpus/package" "$FUZZ_DIR/seeds/package") ;;
            uninstall_fuzz) seeds=("$FUZZ_DIR/seeds/uninstall") ;;
            strings_fuzz) seeds=("$ROOT/fuzz/corpus/strings") ;;
        esac
        log="$FUZZ_DIR/$name.log"
        parallel=()
        [ "$FUZZ_JOBS" -gt 1 ] && parallel=(-fork="$FUZZ_JOBS")
        # libFuzzer stops itself at -max_total_time; the outer timeout only guards against
        # a hang outside an input.
        timeout --kill-after=30 $((seconds + 300)) \
            "$FUZZ_DIR/fuzz/$name" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
            -max_len="$max_len" -dict="$ROOT/fuzz/config.dict" -artifact_prefix="$artifacts/$name-" \
            -print_final_stats=1 "${parallel[@]}" "$work" "${seeds[@]}" >"$log" 2>&1
        rc=$?
        execs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' | tail -n 1 || true)
        rate=$(grep -Eo 'stat::average_exec_per_sec: *[0-9]+' "$log" | grep -Eo '[0-9]+$' | tail -n 1 || true)
        if [ -z "$execs" ]; then   # -fork prints no final stats: the last status line counts
            execs=$(grep -Eo '^#[0-9]+' "$log" | tail -n 1 | tr -d '#' || true)
            [ -n "$execs" ] && rate=$((execs / seconds))
        fi
        found=$(find "$artifacts" -maxdepth 1 -type f -name "$name-*" \( -name '*crash-*' -o -name '*leak-*' \
                 -o -name '*timeout-*' -o -name '*oom-*' \) | sort)
        echo "$name: exit status $rc; ${seconds}s; executions: ${execs:-?}; per second: ${rate:-?}"
        if [ "$rc" -ne 0 ] || [ -n "$found" ]; then
            grep -E -m 20 'ERROR:|runtime error:|fuzz:|SUMMARY:|deadly signal|Test unit written' "$log"
            if [ -n "$found" ]; then
                while IFS= read -r f; do echo "finding: $f"; done <<<"$found"
            fi
            summary+=("$name: FINDING (exit $rc, ${execs:-?} executions), log $log")
            status=1
        else
            summary+=("$name: nothing found in ${execs:-?} executions (${rate:-?}/s, ${seconds}s)")
        fi
    done
else
    summary+=("fuzzers: build FAILED")
    status=1
fi

echo "== summary"
printf '  %s\n' "${summary[@]}"
exit $status
