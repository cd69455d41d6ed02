#!/usr/bin/env bash
# Fuzzes the TGA reader with libFuzzer (clang, ASan, UBSan) for SECONDS
# (default 60); fails on any finding. The corpus grows in
# build-fuzz/tests/fuzz/corpus from one run to the next.
#   tools/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DLESSONS_FUZZ=ON -DLESSONS_WERROR=ON \
  -DFUZZ_SECONDS="$seconds" >/dev/null
cmake --build build-fuzz --parallel "$(nproc)" --target targa_fuzzer make_fuzz_seeds
ctest --test-dir build-fuzz --output-on-failure
