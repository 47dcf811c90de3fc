#!/usr/bin/env bash
# Takes the fingerprint of the Linux module natively and of the Windows DLL
# under Wine, and compares them: class IDs in the text form hosts store,
# VST 2 ID, latency and state bytes identical, audio equal to float rounding.
# usage: compare_with_linux.sh <linux build folder> <fingerprint.exe> <Tarvel64.vst3> <wine-run.sh> <work folder>
set -euo pipefail
linux_build=$1 windows_tool=$2 windows_module=$3 wine_run=$4 work=$5

linux_tool=$linux_build/tools/fingerprint/tarvel-fingerprint
linux_module=$linux_build/Tarvel64.vst3
if [[ ! -x $linux_tool || ! -d $linux_module ]]; then
  echo "no Linux build at $linux_build: build the default preset first (cmake --build --preset default)" >&2
  exit 1
fi

mkdir -p "$work"
"$linux_tool" take "$linux_module" "$work/linux.fingerprint"
"$wine_run" "$windows_tool" take "$windows_module" "$work/windows.fingerprint"
"$linux_tool" compare "$work/linux.fingerprint" "$work/windows.fingerprint" 1e-6
