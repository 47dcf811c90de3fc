#!/usr/bin/env bash
# The digest of a long random automated render through every processing
# path, from the Linux x86-64 module natively and from a cross build's module
# through its runner: the same hashes exactly when both builds compute the
# same bits.
# usage: compare_digest_with_linux.sh <linux build folder> <cross tarvel-fingerprint> <cross module> <runner> <seconds> <seed>
set -euo pipefail
linux_build=$1 cross_tool=$2 cross_module=$3 runner=$4 seconds=$5 seed=$6

linux_tool=$linux_build/tools/fingerprint/tarvel-fingerprint
linux_module=$linux_build/Tarvel64.vst3
if [[ ! -x $linux_tool || ! -d $linux_module ]]; then
  echo "no Linux build at $linux_build: build the default preset first (cmake --build --preset default)" >&2
  exit 1
fi

linux=$("$linux_tool" digest "$linux_module" "$seconds" "$seed")
cross=$("$runner" "$cross_tool" digest "$cross_module" "$seconds" "$seed")
echo "Linux x86-64:"
echo "$linux"
echo "cross build:"
echo "$cross"
if [[ $linux != "$cross" ]]; then
  echo "the digests differ" >&2
  exit 1
fi
