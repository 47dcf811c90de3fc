#!/usr/bin/env bash
# Copies the built VST 3 bundle into the user's VST 3 folder (~/.vst3) and
# Tarvel64.clap into the user's CLAP folder (~/.clap), and the LV2
# bundle into ~/.lv2, where Linux hosts look for plug-ins. Usage: scripts/install-plugin.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build/default}
bundle="$build_dir/Tarvel64.vst3"
if [[ ! -f "$bundle/Contents/$(uname -m)-linux/Tarvel64.so" ]]; then
  echo "error: no built bundle at $bundle (build the Tarvel64 target first)" >&2
  exit 1
fi
cmake --install "$build_dir" --component plugin
echo "installed Tarvel64.vst3 and Tarvel64.clap (into TARVEL_VST3_INSTALL_DIR and TARVEL_CLAP_INSTALL_DIR of the build, ~/.vst3 and ~/.clap unless configured otherwise)"
echo "installed Tarvel.lv2 (into TARVEL_LV2_INSTALL_DIR of the build, ~/.lv2 unless configured otherwise)"
