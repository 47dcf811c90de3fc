#!/usr/bin/env bash
# Cross-builds the linux-arm64 preset's module and the tests that need no
# window (the engine on NEON and on plain lanes, parameters, intake,
# processor, platform, and the built module loaded through its entry points),
# and runs them under qemu-user; then holds the arm64 module's audio to the
# Linux x86-64 build's bit for bit. That build (build/default) must be there:
# scripts/run-tests.sh builds it first.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-$(nproc)}
build=build/linux-arm64

start=$SECONDS
cmake --preset linux-arm64 ${TARVEL_CMAKE_STRICT:-}
cmake --build --preset linux-arm64 -j "$jobs" --target \
  tarvel_engine_tests tarvel_engine_allocation_tests tarvel_engine_reference_tests \
  tarvel_parameter_tests tarvel_intake_tests tarvel_concurrency_tests tarvel_processor_component_tests \
  tarvel_platform_tests tarvel_user_language_tests \
  tarvel_class_id_tests tarvel_plugin_factory_tests tarvel_module_lifetime_tests tarvel_loaded_module_tests \
  tarvel_module_image_tests tarvel_integration_tests tarvel_integration_allocation_tests \
  tarvel_integration_concurrency_tests tarvel_fingerprint_tests tarvel-fingerprint
echo "linux-arm64 build: $((SECONDS - start)) s"

# Every test in these folders is built above but the engine's on plain
# lanes, which the native build runs (the NEON lanes are what arm64 builds);
# the rest of the suite opens windows or runs the tools as programs, which
# the native builds cover. The concurrency tests are left out too: qemu runs
# the threads' atomics with this machine's stronger memory order, so they
# would prove nothing about Arm's, and their spinning threads crawl under
# translation.
plain_lanes='^(PlainLanes/.*|tarvel_engine_plain_lanes_tests_NOT_BUILT)$'
start=$SECONDS
for folder in engine parameters intake processor platform entry integration fingerprint cross_platform; do
  ctest --test-dir "$build/tests/$folder" -j "$jobs" --output-on-failure -LE concurrency -E "$plain_lanes"
done
echo "linux-arm64 tests under qemu: $((SECONDS - start)) s"
