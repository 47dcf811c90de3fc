#!/usr/bin/env bash
# Checks by hand that Ardour lists and loads the built LV2 bundle: Ardour's
# headless Lua interpreter (Debian package ardour, not installed by
# install-deps.sh) starts the dummy audio engine, makes a scratch session,
# lists the plug-ins Ardour found, inserts the stereo one on a track and
# prints its controls and latency. Usage: scripts/check-lv2-in-ardour.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=$(realpath "${1:-build/default}")
lua=$(command -v ardour7-lua ardour8-lua 2>/dev/null | head -n1 || true)
[[ -n $lua ]] || { echo "error: no ardour*-lua (apt-get install ardour)" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/lv2"
ln -s "$build_dir/Tarvel.lv2" "$scratch/lv2/Tarvel.lv2"
cat > "$scratch/check.lua" <<LUA
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:start(false)
local session = create_session("$scratch/session", "session", 48000)
assert(session, "no session")
for info in ARDOUR.LuaAPI.list_plugins():iter() do
  if string.find(info.unique_id, "vantle") then
    print("listed", info.name, info.unique_id, info.n_inputs:n_audio() .. " in", info.n_outputs:n_audio() .. " out")
  end
end
local track = session:new_audio_track(2, 2, nil, 1, "t", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front()
local plugin = ARDOUR.LuaAPI.new_plugin(session, "https://vantle.audio/lv2/tarvel#stereo", ARDOUR.PluginType.LV2, "")
assert(not plugin:isnil(), "not loaded")
track:add_processor_by_index(plugin, 0, nil, true)
for i = 0, 4 do print("control", i, plugin:to_insert():plugin(0):parameter_label(i)) end
ARDOUR.LuaAPI.usleep(500000)
print("latency", plugin:signal_latency())
close_session()
LUA
HOME=$scratch LV2_PATH=$scratch/lv2 "$lua" "$scratch/check.lua" 2>/dev/null | grep -E "^(listed|control|latency)"
