#!/usr/bin/env bash
# The Linux tarball as a user installs it: install.sh into an empty home
# puts each format and the tool where they belong; the installed
# tarvel-render loads the installed module as a VST 3 bundle (also by
# default, without --module), a VST 2 plug-in, a CLAP plug-in and an LV2
# bundle and renders through it; a second install over the first works;
# --uninstall leaves the home empty again.
# usage: linux_tarball.sh <Tarvel-<version>-linux-x86_64.tar.gz>
set -euo pipefail
tarball=$(realpath "$1")
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarvel-tarball.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

tar -xzf "$tarball" -C "$scratch"
folder=$scratch/$(basename "$tarball" .tar.gz)
[[ -x $folder/install.sh ]] || fail "no install.sh in $(basename "$tarball")"
for file in README.txt LICENSE NOTICES.txt; do
  [[ -s $folder/$file ]] || fail "no $file in the tarball"
done
grep -q "VST 3 SDK" "$folder/NOTICES.txt" || fail "NOTICES.txt does not name the VST 3 SDK"

home=$scratch/home
mkdir "$home"
expected="./.clap/Tarvel64.clap
./.local/bin/tarvel-render
./.local/share/man/man1/tarvel-render.1.gz
./.lv2/Tarvel.lv2/Tarvel64.so
./.lv2/Tarvel.lv2/manifest.ttl
./.lv2/Tarvel.lv2/tarvel.ttl
./.vst/Tarvel64.so
./.vst3/Tarvel64.vst3/Contents/Resources/moduleinfo.json
./.vst3/Tarvel64.vst3/Contents/x86_64-linux/Tarvel64.so"

for round in first second; do
  HOME=$home "$folder/install.sh" > "$scratch/install.log" || { cat "$scratch/install.log"; fail "$round install"; }
  installed=$(cd "$home" && find . -type f | LC_ALL=C sort)
  [[ $installed == "$expected" ]] || fail "$round install put these files in the home folder:"$'\n'"$installed"
done

# The loader names every library it opens: the module must come from the
# home folder, in each format.
render=$home/.local/bin/tarvel-render
for format in vst3 default vst2 clap lv2; do
  options=(--format "$format")
  case $format in
    vst3) options+=(--module "$home/.vst3/Tarvel64.vst3") ;;
    default) options=() ;;
    vst2) options+=(--module "$home/.vst/Tarvel64.so") ;;
    clap) options+=(--module "$home/.clap/Tarvel64.clap") ;;
    lv2) options+=(--module "$home/.lv2/Tarvel.lv2") ;;
  esac
  HOME=$home LD_DEBUG=files "$render" "${options[@]}" -o "$scratch/$format.wav" > "$scratch/report" 2> "$scratch/loads" ||
    { cat "$scratch/report"; fail "$format: tarvel-render failed"; }
  grep -q "file=$home/.*Tarvel64\.\(so\|clap\)" "$scratch/loads" || fail "$format: the installed module was not loaded"
  grep -q "output:" "$scratch/report" || fail "$format: no report"
  [[ -s $scratch/$format.wav ]] || fail "$format: no output"
done

HOME=$home "$folder/install.sh" --uninstall > "$scratch/uninstall.log" || { cat "$scratch/uninstall.log"; fail "--uninstall"; }
left=$(cd "$home" && find . -mindepth 1)
[[ -z $left ]] || fail "--uninstall left:"$'\n'"$left"
echo "linux tarball: install twice, five loads through the installed formats, uninstall: ok"
