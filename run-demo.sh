#!/usr/bin/env bash
# The main job: builds the programs' core and shows setup's start-up decision for the
# sample package on every simulated Windows version, in English and in Chinese wording.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh native
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target startup_demo >/dev/null
echo "== English package =="
./build/src/startup_demo package
echo
echo "== Chinese package (texts converted from GBK for this terminal) =="
./build/src/startup_demo package --chinese | iconv -f GBK -t UTF-8
