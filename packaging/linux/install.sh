#!/bin/sh
# Installs Tarvel @VERSION@ from this folder: the VST 3, VST 2.4, CLAP and LV2
# plug-ins where Linux hosts look for them, and tarvel-render with its
# manual page.
#
#   ./install.sh               for the current user (~/.vst3, ~/.vst, ~/.clap,
#                              ~/.lv2, ~/.local/bin, ~/.local/share/man)
#   sudo ./install.sh --system for everyone (/usr/local/lib/vst3, /usr/local/lib/vst,
#                              /usr/lib/clap, /usr/local/lib/lv2, /usr/local/bin,
#                              /usr/local/share/man)
#   ./install.sh --uninstall   removes what the same kind of install put there
#                              (add --system for a system-wide install)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
system=no
action=install
for argument in "$@"; do
  case $argument in
    --system) system=yes ;;
    --uninstall) action=uninstall ;;
    -h|--help) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "install.sh: unknown option '$argument' (try --help)" >&2; exit 2 ;;
  esac
done

if [ $system = yes ]; then
  vst3=/usr/local/lib/vst3 vst=/usr/local/lib/vst lv2=/usr/local/lib/lv2
  # CLAP hosts search /usr/lib/clap, not /usr/local.
  clap=/usr/lib/clap
  bin=/usr/local/bin man=/usr/local/share/man/man1
  top=/
else
  : "${HOME:?install.sh: HOME is not set}"
  vst3=$HOME/.vst3 vst=$HOME/.vst clap=$HOME/.clap lv2=$HOME/.lv2
  bin=$HOME/.local/bin man=$HOME/.local/share/man/man1
  top=$HOME
fi

# What one install puts in place, as "source target" pairs.
items="vst3/Tarvel64.vst3 $vst3/Tarvel64.vst3
vst/Tarvel64.so $vst/Tarvel64.so
clap/Tarvel64.clap $clap/Tarvel64.clap
lv2/Tarvel.lv2 $lv2/Tarvel.lv2
bin/tarvel-render $bin/tarvel-render
man/man1/tarvel-render.1.gz $man/tarvel-render.1.gz"

# Removes the folders above a removed item that are left empty, up to the
# top (the home folder, or /): the ones an install made and nothing else uses.
prune() {
  folder=$(dirname "$1")
  while [ "$folder" != "$top" ] && [ "$folder" != / ] && rmdir "$folder" 2>/dev/null; do
    folder=$(dirname "$folder")
  done
}

echo "$items" | while read -r source target; do
  if [ $action = install ]; then
    [ -e "$here/$source" ] || { echo "install.sh: $here/$source is missing" >&2; exit 1; }
    mkdir -p "$(dirname "$target")"
    # A new copy replaces an older version's whole bundle.
    rm -rf "$target"
    cp -R "$here/$source" "$target"
    echo "installed $target"
  elif [ -e "$target" ] || [ -L "$target" ]; then
    rm -rf "$target"
    prune "$target"
    echo "removed $target"
  fi
done

if [ $action = install ] && [ $system = no ]; then
  case ":${PATH:-}:" in
    *":$bin:"*) ;;
    *) echo "note: $bin is not on your PATH; add it to run tarvel-render by name" ;;
  esac
fi
