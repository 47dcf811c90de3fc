#!/usr/bin/env bash
# Runs one fuzz target for longer than CI does: scripts/fuzz.sh TARGET [seconds]
# (600 by default). With no target, lists them. Configures and builds the
# fuzz preset when needed. The target's corpus grows in
# build/fuzz/fuzz-work/long/TARGET/corpus across runs (seeded from
# fuzz/corpus/TARGET), and anything it finds lands in .../findings; rerun an
# input alone with build/fuzz/fuzz/tarvel_fuzz_TARGET FILE.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/fuzz
work=$build/fuzz-work

if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake --preset fuzz ${TARVEL_CMAKE_STRICT:-} >/dev/null
fi

# Configuring writes one options file per target.
list_targets() {
  local file
  for file in "$work"/*.options; do
    if [[ -e $file ]]; then basename "$file" .options; fi
  done
}

if (($# == 0)); then
  echo "usage: scripts/fuzz.sh TARGET [seconds]; targets:"
  list_targets | sed 's/^/  /'
  exit 0
fi

target=$1
seconds=${2:-600}
if ! grep -qx "$target" <<<"$(list_targets)"; then
  echo "no fuzz target named '$target'; targets:" >&2
  list_targets | sed 's/^/  /' >&2
  exit 2
fi

cmake --build --preset fuzz -j "${JOBS:-2}" --target "tarvel_fuzz_$target"

corpus=$work/long/$target/corpus
findings=$work/long/$target/findings
mkdir -p "$corpus" "$findings"
if [[ -d fuzz/corpus/$target ]]; then
  cp -n fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
fi
options=()
if [[ -f $work/$target.options ]]; then
  mapfile -t options < <(grep -v '^$' "$work/$target.options")
fi

# The sanitizer settings of the fuzz test preset, except that allocations'
# stacks are unwound the fast way (the fuzzer runs faster), so libraries'
# leaks are matched by the library's name (fuzz/lsan_suppressions.txt).
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/fuzz/lsan_suppressions.txt}
export ASAN_OPTIONS=${ASAN_OPTIONS:-intercept_tls_get_addr=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
# Stack traces with names and lines (the sanitizers' own search misses the
# symbolizer under Debian's versioned folders).
if [[ -z ${ASAN_SYMBOLIZER_PATH:-} ]]; then
  for symbolizer in /usr/lib/llvm-16/bin/llvm-symbolizer llvm-symbolizer-16 llvm-symbolizer; do
    if command -v "$symbolizer" >/dev/null; then
      export ASAN_SYMBOLIZER_PATH=$(command -v "$symbolizer")
      break
    fi
  done
fi

exec "$build/fuzz/tarvel_fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=30 \
  -artifact_prefix="$findings/" "${options[@]}" "$corpus"
