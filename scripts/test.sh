#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the optimised build and
# its Debian package, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the fuzzing corpora through the libFuzzer targets.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)

echo "== optimised build =="
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs"
bash scripts/check_package.sh build/release

echo "== sanitizers =="
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

echo "== fuzzing corpora =="
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
build/fuzz/fuzz/fuzz_script -runs=0 fuzz/corpus
build/fuzz/fuzz/metadata_fuzz -runs=0 fuzz/metadata_corpus
echo "all tests passed"
