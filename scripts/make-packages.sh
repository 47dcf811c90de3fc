#!/usr/bin/env bash
# The release packages from a Linux build and a Windows build that are
# already there (scripts/package.sh makes both from scratch first):
# the Windows setup program and zip, the Linux tarball and Debian package,
# and SHA256SUMS over them.
# usage: make-packages.sh [linux build] [windows build] [output folder]
#        (default build/default build/windows dist)
set -euo pipefail
cd "$(dirname "$0")/.."
linux_build=${1:-build/default} windows_build=${2:-build/windows} out=${3:-dist}

version_of() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt" 2>/dev/null || true
}
version=$(version_of "$linux_build")
[[ -n $version ]] || { echo "make-packages.sh: no configured build in $linux_build" >&2; exit 1; }
[[ $(version_of "$windows_build") == "$version" ]] ||
  { echo "make-packages.sh: $windows_build is not a build of version $version" >&2; exit 1; }

mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tarvel-packages.XXXXXX")
trap 'rm -rf "$work"' EXIT
rm -f "$out"/Tarvel-*-windows-x64* "$out"/Tarvel-*-linux-x86_64.tar.gz "$out"/tarvel_*.deb "$out/SHA256SUMS"

mkdir "$work/windows" "$work/linux"
bash packaging/windows/make-windows-packages.sh "$windows_build" "$version" "$out" "$work/windows"
bash packaging/linux/make-linux-packages.sh "$linux_build" "$version" "$out" "$work/linux"

(cd "$out" && sha256sum -- Tarvel-"$version"-* tarvel_"$version"_*.deb > SHA256SUMS)
echo "packages of Tarvel $version in $out:"
(cd "$out" && ls -l -- Tarvel-"$version"-* tarvel_"$version"_*.deb SHA256SUMS)
