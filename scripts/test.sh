#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs what is missing, builds, and runs every test: a plain build, then the same tests
# under AddressSanitizer + UndefinedBehaviorSanitizer, then each fuzz target over its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/deps.sh test
jobs=$(nproc)

echo "== plain build and tests"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEAFBIND_TESTS=ON
cmake --build build/release -j"$jobs"
ctest --test-dir build/release --output-on-failure -j"$jobs" --timeout 600

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DLEAFBIND_SANITIZE=ON -DLEAFBIND_TESTS=ON
cmake --build build/asan -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/asan --output-on-failure -j"$jobs" --timeout 900 -E '^e2e_'

echo "== fuzz targets over their seed corpora"
cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEAFBIND_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build build/fuzz -j"$jobs"
shopt -s nullglob
fuzzed=0
for corpus in fuzz/corpus/*/; do
  name=$(basename "$corpus")
  [ -x "build/fuzz/fuzz/$name" ] || { echo "no fuzz target for corpus $name"; exit 1; }
  QT_QPA_PLATFORM=offscreen "build/fuzz/fuzz/$name" -runs=0 "$corpus"
  fuzzed=$((fuzzed + 1))
done
echo "fuzz: $fuzzed passed, 0 failed"
