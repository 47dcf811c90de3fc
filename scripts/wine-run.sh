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
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
      "$wine" wineboot -i >/dev/null 2>&1 9>&-
      # Every Windows has GDI+'s generic families; Wine finds them only when
      # they are mapped onto fonts the machine has (fonts-dejavu-core).
      for mapping in "Microsoft Sans Serif=DejaVu Sans" "Times New Roman=DejaVu Serif" "Courier New=DejaVu Sans Mono"; do
        "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${mapping%%=*}" /t REG_SZ /d "${mapping#*=}" /f >/dev/null 2>&1 9>&-
      done
    fi
  ) 9>"$WINEPREFIX.lock"
fi

exec "$wine" "$@"
