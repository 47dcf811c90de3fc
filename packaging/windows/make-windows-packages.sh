#!/usr/bin/env bash
# The Windows x64 packages from a Windows build: the zip for installing by
# hand and the NSIS setup program, both with the same files.
# usage: make-windows-packages.sh <windows build> <version> <output folder> <work folder>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$1 version=$2 out=$3 work=$4

name=Tarvel-$version-windows-x64
bundle=$build/bundle/Tarvel64.vst3
for file in "$bundle/Contents/x86_64-win/Tarvel64.vst3" "$bundle/Contents/Resources/moduleinfo.json" \
            "$build/bundle/Tarvel64.clap" "$build/Tarvel64.vst3"; do
  [[ -f $file ]] || { echo "make-windows-packages.sh: $file is missing; build the windows preset first" >&2; exit 1; }
done

# Text files with Windows line ends, for Notepad and the licence page.
crlf() { sed 's/\r*$/\r/' "$1" > "$2"; }

stage=$work/$name
rm -rf "$stage"
mkdir -p "$stage/VST3/Tarvel64.vst3/Contents/x86_64-win" "$stage/VST3/Tarvel64.vst3/Contents/Resources" \
         "$stage/CLAP" "$stage/VST2"
# One module for every format: the VST 3 bundle's binary, Tarvel64.clap
# and the VST 2 DLL are the same file, without its debugging sections.
module=$work/Tarvel64.windows.dll
x86_64-w64-mingw32-strip --strip-debug -o "$module" "$build/Tarvel64.vst3"
cp "$module" "$stage/VST3/Tarvel64.vst3/Contents/x86_64-win/Tarvel64.vst3"
cp "$bundle/Contents/Resources/moduleinfo.json" "$stage/VST3/Tarvel64.vst3/Contents/Resources/"
cp "$module" "$stage/CLAP/Tarvel64.clap"
cp "$module" "$stage/VST2/Tarvel64.dll"
sed "s/@VERSION@/$version/g" "$here/INSTALL.txt" > "$work/INSTALL.txt"
crlf "$work/INSTALL.txt" "$stage/INSTALL.txt"
crlf "$root/LICENSE" "$stage/LICENSE.txt"
bash "$root/packaging/write-notices.sh" windows "$work/NOTICES.windows.txt"
crlf "$work/NOTICES.windows.txt" "$stage/NOTICES.txt"

rm -f "$out/$name.zip"
(cd "$work" && TZ=UTC zip -q -X -r "$out/$name.zip" "$name")

# The licence page shows the notices first, then the GPL itself.
cat "$stage/NOTICES.txt" <(printf '\r\n\r\n') "$stage/LICENSE.txt" > "$work/licence-page.txt"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DLICENCE_PAGE="$work/licence-page.txt" \
  -DOUTFILE="$out/$name-setup.exe" "$here/tarvel.nsi"
echo "wrote $out/$name.zip and $out/$name-setup.exe"
