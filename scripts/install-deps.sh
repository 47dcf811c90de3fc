#!/usr/bin/env bash
# Installs every Debian package the project builds, tests and runs with.
# Idempotent and non-interactive: installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  juce-modules-source-data   # VST 3 SDK sources
  picojson-dev libboost-dev
  libsndfile1-dev libebur128-dev
  sox   # the plain copy bench/render_speed.sh times the render tool against
  googletest libgtest-dev libbenchmark-dev
  locales
  lv2-dev liblilv-dev libsuil-dev lilv-utils sordi   # LV2: headers for the module; lilv, suil, lv2ls and sord_validate for tests and tarvel-render
  libcairo2-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core zlib1g-dev libx11-dev libxtst-dev xvfb   # editor
  dpkg-dev   # the Debian package: dpkg-shlibdeps works out its dependencies
  nsis zip unzip lintian   # release packages: the Windows setup program and zip; their tests unpack the zip and check the Debian package
  clang-16 libclang-rt-16-dev libfuzzer-16-dev   # the fuzz build (the fuzz preset, scripts/fuzz.sh): clang, its sanitizer and fuzzer runtimes
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev wine64 xauth   # Windows build, tests under Wine (xvfb-run needs xauth)
  # Linux arm64 cross build, tests under qemu-user: the arm64 libraries
  # installed beside the native ones through multiarch.
  g++-aarch64-linux-gnu qemu-user
  libcairo2-dev:arm64 libfreetype-dev:arm64 libfontconfig-dev:arm64 zlib1g-dev:arm64 libx11-dev:arm64 libxtst-dev:arm64
  lv2-dev:arm64 liblilv-dev:arm64 libsuil-dev:arm64 libsndfile1-dev:arm64 libebur128-dev:arm64
  libgtest-dev:arm64 libbenchmark-dev:arm64
)

# The arm64 packages above come from the arm64 half of the archive.
if ! dpkg --print-foreign-architectures | grep -qx arm64; then
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" dpkg --add-architecture arm64
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  echo "installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale whose decimal separator is a comma, for the tests that prove the
# state format ignores the process locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "warning: could not generate de_DE.UTF-8" >&2
fi
