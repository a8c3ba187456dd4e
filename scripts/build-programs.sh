#!/usr/bin/env bash
# Builds the shipped programs the way they ship: i686, win32 thread model (no runtime
# functions newer than Windows 2000), statically linked, stripped; then refuses any that
# imports something a bare Windows 2000 lacks or grows past 1 MB.
#
#   scripts/build-programs.sh [BUILD_DIR]     (default build-programs)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build-programs}
cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" -DKLM_MINGW_THREADS=win32 \
    -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$build" -j"$(nproc)" --target setup uninstall >/dev/null
for exe in "$build/src/setup.exe" "$build/src/uninstall.exe"; do
    bash "$repo/scripts/check-imports.sh" "$exe" >/dev/null
    size=$(stat -c %s "$exe")
    [[ $size -lt 1048576 ]] || { echo "$exe is $size bytes: over 1 MB" >&2; exit 1; }
    echo "$(basename "$exe"): $size bytes, Windows 2000 imports only"
done
