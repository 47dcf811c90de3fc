#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the
# release suite, the concurrency tests under ThreadSanitizer, the layout
# documents and the through-the-module tests under AddressSanitizer, the
# fuzz targets, the Linux arm64 build's tests under qemu-user, and the
# Windows build's suite under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)

# Includes between src/ folders point downward only (the table is in the script).
bash scripts/check-layers.sh

# A warning in the project's own code fails the build here (not in the
# README's build of the plug-in, where a newer compiler's new warning should
# not stop a user).
strict=-DTARVEL_WARNINGS_AS_ERRORS=ON
export TARVEL_CMAKE_STRICT=$strict

cmake --preset default "$strict"
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

cmake --preset tsan "$strict"
cmake --build --preset tsan -j "$jobs" --target tarvel_concurrency_tests tarvel_integration_concurrency_tests \
  tarvel_vst2_concurrency_tests tarvel_clap_concurrency_tests tarvel_gdiplus_concurrency_tests
ctest --preset tsan -j "$jobs" -L concurrency

# The layout documents the fuzzer starts from (and those it broke something
# with), the engine's unit tests (the chunked
# paths' pointer arithmetic), hosts' odd calls replayed on the loaded module
# (the editor opened and closed in an X window among them), and the GDI+
# layer's drawing, fonts and images, under AddressSanitizer (leaks
# included) and UndefinedBehaviorSanitizer; undefined behaviour stops the
# test like a memory error. The asan test preset names the suppressions of
# libraries' own leaks (tests/support/lsan_suppressions.txt) and keeps the
# sanitizer from tracking dynamic TLS, which it would read after a test
# unloads the module (the module's own C++ runtime has thread-local data)
# and crash on.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cmake --preset asan "$strict"
cmake --build --preset asan -j "$jobs" --target tarvel_layout_fuzz_tests tarvel_loaded_module_tests \
  tarvel_integration_tests tarvel_integration_allocation_tests tarvel_editor_host_tests tarvel_vst2_editor_host_tests \
  tarvel_clap_module_tests tarvel_clap_editor_host_tests tarvel_lv2_tests tarvel_lv2_ui_tests \
  tarvel_engine_tests tarvel_engine_plain_lanes_tests tarvel_engine_allocation_tests \
  tarvel_module_image_tests tarvel_gdiplus_tests tarvel_gdiplus_concurrency_tests tarvel_primitives_tests
ctest --preset asan -j "$jobs" -L fuzz
ctest --preset asan -j "$jobs" -L engine
ctest --preset asan -j "$jobs" -L integration
# The layer's own tests (two threads drawing through one glyph cache among
# them), and the views' pixel tests drawing through it.
ctest --preset asan -j "$jobs" -R '^(GdiplusLayer|GdiplusLockBits|MemoryFont|GdiplusRuntime|GlyphCache[A-Za-z]*|Knob[A-Za-z]*|MappingTest|PointerGlow|PrimitivesTest|TextTest|WideText)\.'

# Coverage-guided fuzzing: every fuzz target (clang, libFuzzer, the same
# sanitizers) from its committed seeds for a fixed number of inputs with a
# fixed seed; scripts/fuzz.sh runs one for as long as you like.
cmake --preset fuzz "$strict"
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz -j "$jobs" -L fuzzing

# The Linux arm64 cross build's tests that need no window, under qemu-user,
# its audio held to the Linux build's bit for bit.
bash scripts/arm64-tests.sh

# The Windows x64 cross build and its whole suite under Wine, in a Wine
# prefix of its own that is removed afterwards.
bash scripts/windows-tests.sh

# The release packages, made from the two builds above (scripts/package.sh
# makes release builds of its own instead), and each installed as a user
# would: the setup program silently under Wine in a fresh prefix, the
# tarball's install.sh into a scratch home, the Debian package with dpkg.
start=$SECONDS
bash scripts/make-packages.sh build/default build/windows build/packages
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/default/CMakeCache.txt)
bash tests/package/archives.sh build/packages build/default
bash tests/package/linux_tarball.sh "build/packages/Tarvel-$version-linux-x86_64.tar.gz"
bash tests/package/debian_package.sh "build/packages/tarvel_${version}_amd64.deb"
bash tests/package/windows_setup.sh "build/packages/Tarvel-$version-windows-x64-setup.exe" build/windows
echo "packages made and tried: $((SECONDS - start)) s"
