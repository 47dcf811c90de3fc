#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the
# release suite, the concurrency tests under ThreadSanitizer, the layout
# fuzzing and the through-the-module tests under AddressSanitizer, and the
# Windows build's suite under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)

cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

cmake --preset tsan
cmake --build --preset tsan -j "$jobs" --target tarvel_concurrency_tests tarvel_integration_concurrency_tests \
  tarvel_vst2_concurrency_tests
ctest --preset tsan -j "$jobs" -L concurrency

# Layout documents fuzzed (about 20 s), the engine's unit tests (the chunked
# paths' pointer arithmetic), and hosts' odd calls replayed on the loaded
# module (the editor opened and closed in an X window among them), under
# AddressSanitizer and UndefinedBehaviorSanitizer; undefined behaviour stops
# the test like a memory error.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cmake --preset asan
cmake --build --preset asan -j "$jobs" --target tarvel_layout_fuzz_tests tarvel_loaded_module_tests \
  tarvel_integration_tests tarvel_integration_allocation_tests tarvel_editor_host_tests tarvel_vst2_editor_host_tests \
  tarvel_engine_tests tarvel_engine_allocation_tests
ctest --preset asan -j "$jobs" -L fuzz
ctest --preset asan -j "$jobs" -L engine
# The module starts libgdiplus, whose start-up allocations are never given
# back (its shutdown aborts once text has been drawn), so leak checking is
# off for tests that load the module; memory errors are still fatal.
ASAN_OPTIONS=detect_leaks=0 ctest --preset asan -j "$jobs" -L integration

# The Windows x64 cross build and its whole suite under Wine, in a Wine
# prefix of its own that is removed afterwards.
bash scripts/windows-tests.sh
