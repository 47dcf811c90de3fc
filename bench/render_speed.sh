#!/usr/bin/env bash
# How tarvel-render's speed compares with a plain copy of the same file:
# times, on ten minutes of stereo 48 kHz audio (32-bit float WAV), a copy
# with sox, tarvel-render with its loudness report, and tarvel-render -q,
# round after round so that machine load falls on all three alike, and
# prints the medians and their ratios to the copy.
#
#   bash bench/render_speed.sh [ROUNDS]      (default 5)
#
# Uses the tool of the default build, building it first if needed.
set -euo pipefail
cd "$(dirname "$0")/.."

rounds=${1:-5}
tool=build/default/tools/render/tarvel-render
[[ -x $tool ]] || { cmake --preset default >/dev/null && cmake --build --preset default -j2 --target tarvel-render >/dev/null; }
command -v sox >/dev/null || { echo "sox is missing: run scripts/install-deps.sh" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tarvel-render-speed-XXXXXX")
trap 'rm -rf "$work"' EXIT
# Music-like material: pink noise whose level swells and falls.
sox -n -r 48000 -c 2 -e floating-point -b 32 "$work/in.wav" synth 600 pinknoise tremolo 0.1 80 vol 0.5

seconds() { # seconds COMMAND...: the wall time of one run
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

: >"$work/copy"; : >"$work/report"; : >"$work/quiet"
for ((round = 1; round <= rounds; ++round)); do
  seconds sox "$work/in.wav" "$work/copy.wav" >>"$work/copy"
  seconds "$tool" "$work/in.wav" "$work/out.wav" >>"$work/report"
  seconds "$tool" -q "$work/in.wav" "$work/out.wav" >>"$work/quiet"
  rm -f "$work/copy.wav" "$work/out.wav"
done

copy=$(median <"$work/copy"); report=$(median <"$work/report"); quiet=$(median <"$work/quiet")
echo "ten minutes of stereo 48 kHz, 32-bit float WAV ($(du -m "$work/in.wav" | cut -f1) MB), median of $rounds rounds"
awk -v copy="$copy" -v report="$report" -v quiet="$quiet" 'BEGIN {
  printf "%-34s %6.2f s\n", "plain copy (sox)", copy
  printf "%-34s %6.2f s  %5.2fx the copy  (copy + %.2f s)\n", "tarvel-render with the report", report, report / copy, report - copy
  printf "%-34s %6.2f s  %5.2fx the copy  (copy + %.2f s)\n", "tarvel-render -q", quiet, quiet / copy, quiet - copy
  printf "%-34s %6.2f\n", "report on / report off", report / quiet
  printf "within a copy + 1 s: %s\n", (report <= copy + 1.0) ? "yes" : "NO"
}'
