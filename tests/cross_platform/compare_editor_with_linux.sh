#!/usr/bin/env bash
# Draws the editor at its defaults with the Linux build's tarvel-snapshot
# natively and with the Windows one under Wine, and compares the pictures:
# Windows' GDI+ and the Linux layer antialias text, thin lines and the
# curve's edges differently; everything else must agree.
# usage: compare_editor_with_linux.sh <linux build folder> <tarvel-snapshot.exe> <wine-run.sh> <work folder>
set -euo pipefail
linux_build=$1 windows_snapshot=$2 wine_run=$3 work=$4

linux_snapshot=$linux_build/tools/snapshot/tarvel-snapshot
if [[ ! -x $linux_snapshot ]]; then
  echo "no Linux build at $linux_build: build the default preset first (cmake --build --preset default)" >&2
  exit 1
fi
mkdir -p "$work"
"$linux_snapshot" --level -16 "$work/editor-linux.png" >/dev/null
"$wine_run" "$windows_snapshot" --level -16 "$work/editor-windows.png" >/dev/null
"$linux_snapshot" --compare "$work/editor-linux.png" "$work/editor-windows.png" 0.04
