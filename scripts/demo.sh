#!/usr/bin/env bash
# Installs what is missing, builds the plug-in module and tarvel-render, and
# renders audio through the built module, printing the loudness before and
# after.
#
#   bash scripts/demo.sh                      the built-in demo signal, written
#                                             to build/default/tarvel-demo.wav,
#                                             its loudness pictured in
#                                             build/default/tarvel-demo.png
#   bash scripts/demo.sh IN.wav OUT.wav [options]
#                                             a file of yours (options as in
#                                             tarvel-render --help)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target Tarvel64 tarvel-render

render=build/default/tools/render/tarvel-render
if [ "$#" -eq 0 ]; then
  "$render" --output build/default/tarvel-demo.wav --plot build/default/tarvel-demo.png
  echo "The rendered demo is in build/default/tarvel-demo.wav, its loudness pictured in build/default/tarvel-demo.png"
else
  "$render" "$@"
fi
