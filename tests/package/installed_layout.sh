#!/usr/bin/env bash
# The Debian package's files, installed into a scratch root as dpkg lays them
# out: the bundle, the VST 2 and CLAP links into it, the LV2 bundle and the
# manual page are there, and the installed tarvel-render loads the installed
# module, through its VST 3 factory, the VST 2 link, the CLAP link and the
# LV2 bundle, and renders the demo through it; lv2ls (where installed) lists
# the installed LV2 plug-ins.
# usage: installed_layout.sh <build folder>
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

DESTDIR=$root cmake --install "$build" --prefix /usr > /dev/null
usr=$root/usr
module=$usr/lib/vst3/Tarvel64.vst3/Contents/x86_64-linux/Tarvel64.so
test -f "$module" || { echo "no module at $module"; exit 1; }
test "$(readlink -f "$usr/lib/vst/Tarvel64.so")" = "$(readlink -f "$module")" || { echo "VST 2 link broken"; exit 1; }
test "$(readlink -f "$usr/lib/clap/Tarvel64.clap")" = "$(readlink -f "$module")" || { echo "CLAP link broken"; exit 1; }
gzip -t "$usr/share/man/man1/tarvel-render.1.gz"
lv2=$usr/lib/lv2/Tarvel.lv2
test -f "$lv2/manifest.ttl" && test -f "$lv2/tarvel.ttl" || { echo "no LV2 Turtle files in $lv2"; exit 1; }
test "$(readlink -f "$lv2/Tarvel64.so")" = "$(readlink -f "$module")" || { echo "LV2 link broken"; exit 1; }
if command -v lv2ls > /dev/null; then
  listed=$(LV2_PATH=$usr/lib/lv2 lv2ls)
  grep -qx "https://vantle.audio/lv2/tarvel#stereo" <<<"$listed" || { echo "lv2ls: $listed"; exit 1; }
  grep -qx "https://vantle.audio/lv2/tarvel#mono" <<<"$listed" || { echo "lv2ls: $listed"; exit 1; }
fi

for format in vst3 vst2 clap lv2; do
  module_option=()
  [[ $format == vst2 ]] && module_option=(--module "$usr/lib/vst/Tarvel64.so")
  [[ $format == clap ]] && module_option=(--module "$usr/lib/clap/Tarvel64.clap")
  # The loader names every library it opens: the module must come from the
  # scratch root, not from the build folder.
  LD_DEBUG=files "$usr/bin/tarvel-render" --format "$format" "${module_option[@]}" -o "$root/out-$format.wav" \
    > "$root/report" 2> "$root/loads"
  grep -q "file=$usr/.*Tarvel64\.\(so\|clap\)" "$root/loads" || { echo "$format: the installed module was not loaded"; exit 1; }
  grep -q "output:" "$root/report" || { echo "$format: no report"; cat "$root/report"; exit 1; }
  test -s "$root/out-$format.wav"
done
echo "installed layout and loads: ok"
