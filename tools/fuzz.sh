#!/usr/bin/env bash
# Fuzzes the TGA reader with libFuzzer (clang, ASan, UBSan) for SECONDS
# (default 60); fails on any finding and prints the path of the input that
# caused it. The corpus grows in build-fuzz/tests/fuzz/corpus from one run to
# the next.
#   tools/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -gt 1 ] || ! [[ ${1:-60} =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS]   (a whole number of seconds, default 60)" >&2
  exit 2
fi
seconds=${1:-60}
out=build-fuzz/tests/fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DLESSONS_FUZZ=ON -DLESSONS_WERROR=ON \
  -DFUZZ_SECONDS="$seconds" >/dev/null
cmake --build build-fuzz --parallel "$(nproc)" --target targa_fuzzer make_fuzz_seeds
findings() {
  find "$out" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort
}
before=$(findings)
if ctest --test-dir build-fuzz --output-on-failure; then
  exit 0
fi
echo "fuzz: the TGA reader failed. Inputs that caused it:" >&2
comm -13 <(echo "$before") <(findings) | sed "s|^|  $PWD/|" >&2
exit 1
