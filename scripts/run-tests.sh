#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
# the release suite, then the concurrency tests under ThreadSanitizer, then
# the Windows build's suite under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)

cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

cmake --preset tsan
cmake --build --preset tsan -j "$jobs" --target tarvel_concurrency_tests
ctest --preset tsan -j "$jobs" -L concurrency

# Layout documents fuzzed under AddressSanitizer (about 20 s).
cmake --preset asan
cmake --build --preset asan -j "$jobs" --target tarvel_layout_fuzz_tests
ctest --preset asan -L fuzz

# The Windows x64 cross build and its whole suite under Wine, in a Wine
# prefix of its own that is removed afterwards.
bash scripts/windows-tests.sh
