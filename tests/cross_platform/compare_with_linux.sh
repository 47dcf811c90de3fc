#!/usr/bin/env bash
# Takes the fingerprint of the Linux x86-64 module natively and of a cross
# build's module through its runner (the Windows DLL under Wine, the Linux
# arm64 module under qemu-user), and compares them: class IDs in the text
# form hosts store, VST 2 ID, latency and state bytes identical, audio
# within the tolerance (default: equal to float rounding).
# usage: compare_with_linux.sh <linux build folder> <cross tarvel-fingerprint> <cross module> <runner> <work folder> [tolerance]
set -euo pipefail
linux_build=$1 cross_tool=$2 cross_module=$3 runner=$4 work=$5 tolerance=${6:-1e-6}

linux_tool=$linux_build/tools/fingerprint/tarvel-fingerprint
linux_module=$linux_build/Tarvel64.vst3
if [[ ! -x $linux_tool || ! -d $linux_module ]]; then
  echo "no Linux build at $linux_build: build the default preset first (cmake --build --preset default)" >&2
  exit 1
fi

mkdir -p "$work"
"$linux_tool" take "$linux_module" "$work/linux.fingerprint"
"$runner" "$cross_tool" take "$cross_module" "$work/cross.fingerprint"
"$linux_tool" compare "$work/linux.fingerprint" "$work/cross.fingerprint" "$tolerance"
