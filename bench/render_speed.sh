#!/usr/bin/env bash
# How tarvel-render's speed compares with a plain copy of the same file:
# times, on ten minutes of stereo 48 kHz audio (32-bit float WAV), a copy
# with sox, tarvel-render with its loudness report, and tarvel-render -q,
# round after round so that machine load falls on all three alike, and
# prints the medians of wall time and their ratios to the copy, and the
# processor time (user + system, which load on a shared machine disturbs
# less).
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

timed() { # timed FILE COMMAND...: appends "wall cpu" of one run to FILE
  local out=$1 times
  shift
  times=$( { TIMEFORMAT='%R %U %S'; time "$@" >/dev/null; } 2>&1 )
  awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' <<<"$times" >>"$out"
}
median() { # median COLUMN < FILE
  awk -v c="$1" '{ print $c }' | sort -n |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

: >"$work/copy"; : >"$work/report"; : >"$work/quiet"
# Every command writes a new file, and the one before it is removed first,
# so none replaces a large file (freeing its blocks) or runs while the
# system writes the last one's 230 MB out.
for ((round = 1; round <= rounds; ++round)); do
  timed "$work/copy" sox "$work/in.wav" "$work/out.wav"
  rm -f "$work/out.wav"
  timed "$work/report" "$tool" "$work/in.wav" "$work/out.wav"
  rm -f "$work/out.wav"
  timed "$work/quiet" "$tool" -q "$work/in.wav" "$work/out.wav"
  rm -f "$work/out.wav"
done

echo "ten minutes of stereo 48 kHz, 32-bit float WAV ($(du -m "$work/in.wav" | cut -f1) MB), median of $rounds rounds"
awk -v copy="$(median 1 <"$work/copy")" -v report="$(median 1 <"$work/report")" -v quiet="$(median 1 <"$work/quiet")" \
    -v copyCpu="$(median 2 <"$work/copy")" -v reportCpu="$(median 2 <"$work/report")" \
    -v quietCpu="$(median 2 <"$work/quiet")" 'BEGIN {
  printf "%-30s %8s  %-15s %10s\n", "", "wall", "", "processor"
  printf "%-30s %6.2f s  %-15s %8.2f s\n", "plain copy (sox)", copy, "", copyCpu
  printf "%-30s %6.2f s  %5.2fx the copy %8.2f s\n", "tarvel-render with the report", report, report / copy, reportCpu
  printf "%-30s %6.2f s  %5.2fx the copy %8.2f s\n", "tarvel-render -q", quiet, quiet / copy, quietCpu
  printf "report on / report off: %.2f (wall)\n", report / quiet
  printf "with the report, copy + %.2f s: %s the copy + 1 s\n", report - copy, (report <= copy + 1.0) ? "within" : "NOT within"
}'
