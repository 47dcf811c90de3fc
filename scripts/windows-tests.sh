#!/usr/bin/env bash
# Cross-builds the windows preset and runs its whole test suite under Wine,
# in a fresh private Wine prefix inside a temporary folder (removed at the
# end). The cross-platform comparison needs the Linux build (the default
# preset) next to it; scripts/run-tests.sh builds that first.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-$(nproc)}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarvel-windows.XXXXXX")
export TARVEL_WINEPREFIX=$scratch/wine
export WINEDEBUG=-all

cleanup() {
  # Only this prefix's server, kept running for the tests (see below).
  WINEPREFIX=$TARVEL_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

start=$SECONDS
cmake --preset windows ${TARVEL_CMAKE_STRICT:-}
cmake --build --preset windows -j "$jobs"
echo "windows build: $((SECONDS - start)) s"

# One Wine server for all the tests: left to itself it stops a moment after
# its last program ends, and a program starting in that moment fails. Not
# during the build: the server holds the output pipes of the programs it
# serves, and Ninja waits for those to close.
mkdir -p "$TARVEL_WINEPREFIX"
WINEPREFIX=$TARVEL_WINEPREFIX /usr/lib/wine/wineserver -w   # the build's server, if still stopping
WINEPREFIX=$TARVEL_WINEPREFIX /usr/lib/wine/wineserver -p

# The editor tests open windows, so the suite runs on a virtual X display.
# Wine's own services start with the first program and keep the display
# they started with, which the tests' windows need: they start on that
# display too. They also live as long as the server, holding that program's
# output open: start them with none.
# A test that fails is run once more on its own: on this machine Wine has,
# rarely, ended a test program at start-up with no output at all. Whatever
# fails twice fails the run, and the first failure stays in the log.
start=$SECONDS
xvfb-run -a bash -c '
  scripts/wine-run.sh wineboot </dev/null >/dev/null 2>&1
  if ! ctest --preset windows -j "$1"; then
    echo "running the failed Windows tests once more"
    ctest --preset windows --rerun-failed
  fi' windows-suite "$jobs"
echo "windows tests under Wine: $((SECONDS - start)) s"
