#!/usr/bin/env bash
# What the packages carry besides what installing them shows: each is named
# with the build's version and listed in SHA256SUMS with the right sum; the
# zip holds one module under the three formats' names with a text saying
# where each goes; the zip, the tarball and the Debian package carry the
# licence and the notices of the parts built in.
# usage: archives.sh <packages folder> <linux build folder>
set -euo pipefail
packages=$(realpath "$1")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$2/CMakeCache.txt")
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarvel-archives.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

setup=Tarvel-$version-windows-x64-setup.exe
zip=Tarvel-$version-windows-x64.zip
tarball=Tarvel-$version-linux-x86_64.tar.gz
deb=tarvel_${version}_amd64.deb
for file in "$setup" "$zip" "$tarball" "$deb" SHA256SUMS; do
  [[ -s $packages/$file ]] || fail "no $file in $packages"
done
[[ $(awk '{ print $2 }' "$packages/SHA256SUMS" | LC_ALL=C sort | tr '\n' ' ') == \
   "$(printf '%s\n' "$setup" "$tarball" "$zip" "$deb" | LC_ALL=C sort | tr '\n' ' ')" ]] ||
  fail "SHA256SUMS lists: $(awk '{ print $2 }' "$packages/SHA256SUMS" | tr '\n' ' ')"
(cd "$packages" && sha256sum --quiet -c SHA256SUMS) || fail "a sum in SHA256SUMS does not match"

# The notices name every part built into the binaries of that platform.
check_notices() {
  local file=$1; shift
  for part in "GNU General Public License" "VST 3 SDK" picojson "Boost Software License" "$@"; do
    grep -q "$part" "$file" || fail "$file does not name $part"
  done
}

unzip -q "$packages/$zip" -d "$scratch/zip"
root=$scratch/zip/Tarvel-$version-windows-x64
listing=$(cd "$root" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
[[ $listing == "./CLAP/Tarvel64.clap ./INSTALL.txt ./LICENSE.txt ./NOTICES.txt ./VST2/Tarvel64.dll ./VST3/Tarvel64.vst3/Contents/Resources/moduleinfo.json ./VST3/Tarvel64.vst3/Contents/x86_64-win/Tarvel64.vst3 " ]] ||
  fail "the zip holds: $listing"
cmp -s "$root/CLAP/Tarvel64.clap" "$root/VST2/Tarvel64.dll" &&
  cmp -s "$root/VST2/Tarvel64.dll" "$root/VST3/Tarvel64.vst3/Contents/x86_64-win/Tarvel64.vst3" ||
  fail "the zip's three modules differ"
for place in 'Common Files\VST3' 'Common Files\CLAP' 'VST2\Tarvel64.dll' 'CLAP\Tarvel64.clap' 'VST3\Tarvel64.vst3'; do
  grep -qF "$place" "$root/INSTALL.txt" || fail "INSTALL.txt does not mention $place"
done
grep -q "Version 3, 29 June 2007" "$root/LICENSE.txt" || fail "LICENSE.txt is not the GPL version 3"
check_notices "$root/NOTICES.txt" mingw-w64 "zlib"

tar -xzf "$packages/$tarball" -C "$scratch"
check_notices "$scratch/Tarvel-$version-linux-x86_64/NOTICES.txt" cairo FreeType libsndfile "LV2"

dpkg-deb --fsys-tarfile "$packages/$deb" | tar -xO ./usr/share/doc/tarvel/copyright > "$scratch/copyright"
grep -q "/usr/share/common-licenses/GPL-3" "$scratch/copyright" || fail "the Debian copyright file does not point to the GPL"
check_notices "$scratch/copyright" cairo FreeType libsndfile "LV2"
[[ $(dpkg-deb -f "$packages/$deb" Version) == "$version" ]] || fail "the Debian package's version is $(dpkg-deb -f "$packages/$deb" Version)"
echo "archives: names, sums, the zip's layout, licence and notices in each: ok"
