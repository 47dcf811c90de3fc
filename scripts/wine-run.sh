#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own Wine prefix, so the
# build never touches ~/.wine. The prefix is made on first use (about five
# seconds) and reused; TARVEL_WINEPREFIX chooses where it lives.
set -euo pipefail

wine=${TARVEL_WINE:-/usr/lib/wine/wine64}
export WINEPREFIX=${TARVEL_WINEPREFIX:-${TMPDIR:-/tmp}/tarvel-wine-$(id -u)}
export WINEDEBUG=${WINEDEBUG:--all}
# No desktop integration and no dialogs asking to install Mono or Gecko.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=d}

if [[ ! -f $WINEPREFIX/system.reg ]]; then
  # Concurrent first runs (ctest -j) must not initialise the prefix twice.
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    [[ -f $WINEPREFIX/system.reg ]] || "$wine" wineboot -i >/dev/null 2>&1
  ) 9>"$WINEPREFIX.lock"
fi

exec "$wine" "$@"
