#!/usr/bin/env bash
# Installs what is missing, builds the plug-in module and shows the engine at
# work: its speed on stereo 48 kHz audio, and the editor layout rendered to
# a PNG file.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)" --target Tarvel64 tarvel_engine_benchmark tarvel-snapshot

echo "Built $(ls -d build/default/Tarvel64.vst3)"
./build/default/bench/tarvel_engine_benchmark --benchmark_filter='Stereo|Mono' --benchmark_min_time=0.2
./build/default/tools/snapshot/tarvel-snapshot build/default/editor-layout.png
echo "Editor layout rendered to build/default/editor-layout.png"
