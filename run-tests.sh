#!/usr/bin/env bash
# Every test: the native unit tests (simulated Windows), the same under AddressSanitizer
# and UBSan with a bounded fuzzing run of the configuration readers, the Windows build's
# tests under Wine in a 32-bit and a 64-bit prefix, the stand-in DLLs under Wine, and whole
# installations under Wine. Installs what it needs.
#
#   ./run-tests.sh            (FUZZ_SECONDS=60 by default)
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh native fuzz windows

echo "== native unit tests =="
cmake -S . -B build -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
ctest --test-dir build --output-on-failure -j"$(nproc)" | tail -n 3

echo "== sanitizers and fuzzing =="
bash scripts/sanitize-and-fuzz.sh "${FUZZ_SECONDS:-60}"

echo "== the shipped programs: Windows 2000 imports, size =="
bash scripts/build-programs.sh

# The shipped programs are 32-bit: where the machine cannot run 32-bit code at all, no Wine
# suite can start. Say so loudly rather than fail on every one of them.
if ! why=$(bash scripts/wine/can-run-32bit.sh); then
    echo
    echo "!! SKIPPED: every test under Wine (Windows build, stand-ins, installations, uninstaller, wizard)."
    echo "!! Reason: $why."
    echo "!! Only the native tests above ran; run ./run-tests.sh on a machine that runs 32-bit code."
    exit 0
fi

echo "== Windows build under Wine =="
bash scripts/wine/run-tests.sh

echo "== stand-ins for what Wine lacks, under Wine =="
bash scripts/wine/run-fixture-tests.sh

echo "== whole installations under Wine =="
bash scripts/wine/run-install-tests.sh

echo "== the uninstaller under Wine =="
bash scripts/wine/run-uninstall-tests.sh
echo "== the uninstaller under Wine set to Windows 10 =="
KLM_UNINSTALL_VERSION=win10 bash scripts/wine/run-uninstall-tests.sh --no-build

echo "== unattended installation and removal under Wine =="
bash scripts/wine/run-unattended-tests.sh --no-build

echo "== the setup wizard under Wine =="
bash scripts/wine/run-setup-tests.sh
echo "== the setup wizard under Wine set to Windows 10 =="
KLM_SETUP_VERSION=win10 bash scripts/wine/run-setup-tests.sh --no-build
