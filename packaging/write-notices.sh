#!/usr/bin/env bash
# Writes the notices that travel with a build of Tarvel: NOTICES.txt, then
# the copyright records Debian keeps for every part compiled into that
# platform's binaries, as this machine has them installed (the versions that
# were built in).
# usage: write-notices.sh linux|windows <output file>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
platform=$1 output=$2

# The package that owns a file, for parts found by the compiler.
owner() { dpkg-query -S "$1" | head -n 1 | cut -d: -f1; }

packages=(juce-modules-source-data picojson-dev)
case $platform in
  linux)
    packages+=(lv2-dev "$(owner "$(realpath "$(g++ -print-file-name=libstdc++.a)")")")
    ;;
  windows)
    packages+=(mingw-w64-common mingw-w64-x86-64-dev libz-mingw-w64
      "$(owner "$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++.a)")")")
    ;;
  *) echo "usage: write-notices.sh linux|windows <output file>" >&2; exit 2 ;;
esac

{
  cat "$here/NOTICES.txt"
  printf '\n\nDebian copyright records of the parts compiled in\n'
  printf '=================================================\n'
  for package in "${packages[@]}"; do
    record=/usr/share/doc/$package/copyright
    [[ -f $record ]] || { echo "write-notices.sh: no copyright record for $package ($record); run scripts/install-deps.sh" >&2; exit 1; }
    printf '\n\n----- %s -----\n\n' "$package"
    cat "$record"
  done
} > "$output.partial"
mv "$output.partial" "$output"
