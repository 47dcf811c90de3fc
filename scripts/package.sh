#!/usr/bin/env bash
# Builds Tarvel for Linux x86_64 and Windows x64 from this checkout, release
# builds without tests or benchmarks in build/release-linux and
# build/release-windows, and writes the packages to dist/ (or to the folder
# given): the Windows setup program and zip, the Linux tarball and Debian
# package, and SHA256SUMS.
# usage: scripts/package.sh [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-dist}
jobs=${JOBS:-$(nproc)}

bash scripts/install-deps.sh
start=$SECONDS

release=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVEL_BUILD_TESTS=OFF -DTARVEL_BUILD_BENCH=OFF)
cmake -S . -B build/release-linux "${release[@]}"
cmake --build build/release-linux -j "$jobs"

# The Windows build describes its module in moduleinfo.json by loading it
# under Wine, in a prefix of its own that goes afterwards.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarvel-package.XXXXXX")
export TARVEL_WINEPREFIX=$scratch/wine
trap 'WINEPREFIX=$TARVEL_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
cmake -S . -B build/release-windows "${release[@]}" --toolchain cmake/toolchain-mingw64.cmake
cmake --build build/release-windows -j "$jobs" --target Tarvel64 Tarvel64_module_info
WINEPREFIX=$TARVEL_WINEPREFIX /usr/lib/wine/wineserver -w

bash scripts/make-packages.sh build/release-linux build/release-windows "$out"
echo "scripts/package.sh: $((SECONDS - start)) s"
