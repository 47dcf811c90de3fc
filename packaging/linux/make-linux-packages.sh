#!/usr/bin/env bash
# The Linux x86_64 packages from a Linux build: the tarball with install.sh
# and the Debian package (CPack, cmake/Package.cmake).
# usage: make-linux-packages.sh <linux build> <version> <output folder> <work folder>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$1 version=$2 out=$3 work=$4

name=Tarvel-$version-linux-x86_64
bundle=$build/Tarvel64.vst3
lv2=$build/Tarvel.lv2
render=$build/tools/render/tarvel-render
manual=$build/tarvel-render.1.gz
for file in "$bundle/Contents/x86_64-linux/Tarvel64.so" "$bundle/Contents/Resources/moduleinfo.json" \
            "$lv2/manifest.ttl" "$lv2/tarvel.ttl" "$render" "$manual"; do
  [[ -f $file ]] || { echo "make-linux-packages.sh: $file is missing; build the default preset first" >&2; exit 1; }
done

stage=$work/$name
rm -rf "$stage"
mkdir -p "$stage/vst3/Tarvel64.vst3/Contents/x86_64-linux" "$stage/vst3/Tarvel64.vst3/Contents/Resources" \
         "$stage/vst" "$stage/clap" "$stage/lv2/Tarvel.lv2" "$stage/bin" "$stage/man/man1"
# One module for every format, stored once in the tarball (hard links).
module=$stage/vst3/Tarvel64.vst3/Contents/x86_64-linux/Tarvel64.so
strip --strip-unneeded -o "$module" "$bundle/Contents/x86_64-linux/Tarvel64.so"
chmod 0755 "$module"
cp "$bundle/Contents/Resources/moduleinfo.json" "$stage/vst3/Tarvel64.vst3/Contents/Resources/"
ln "$module" "$stage/vst/Tarvel64.so"
ln "$module" "$stage/clap/Tarvel64.clap"
ln "$module" "$stage/lv2/Tarvel.lv2/Tarvel64.so"
cp "$lv2/manifest.ttl" "$lv2/tarvel.ttl" "$stage/lv2/Tarvel.lv2/"
strip --strip-unneeded -o "$stage/bin/tarvel-render" "$render"
chmod 0755 "$stage/bin/tarvel-render"
cp "$manual" "$stage/man/man1/"
sed "s/@VERSION@/$version/g" "$here/install.sh" > "$stage/install.sh"
chmod 0755 "$stage/install.sh"
sed "s/@VERSION@/$version/g" "$here/README.txt" > "$stage/README.txt"
cp "$root/LICENSE" "$stage/LICENSE"
bash "$root/packaging/write-notices.sh" linux "$stage/NOTICES.txt"
chmod -R u=rwX,go=rX "$stage"

tar --sort=name --owner=0 --group=0 --numeric-owner -C "$work" -czf "$out/$name.tar.gz" "$name"

# The Debian package, as cmake/Package.cmake describes it.
rm -rf "$work/deb"
(cd "$build" && cpack -G DEB -B "$work/deb" > "$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }
deb=$(find "$work/deb" -maxdepth 1 -name "tarvel_${version}_*.deb")
[[ -n $deb ]] || { echo "make-linux-packages.sh: CPack wrote no tarvel_${version} package" >&2; exit 1; }
cp "$deb" "$out/"
echo "wrote $out/$name.tar.gz and $out/$(basename "$deb")"
