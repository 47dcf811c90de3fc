#!/usr/bin/env bash
# Checks that code depends downward only: every `#include "folder/..."` in a
# folder of src/ names the folder itself or one the table below lets it
# use. Exits 1 and lists the offending lines otherwise.
#
# Each folder may include the folders listed after it, all of which lie
# below it; folders not listed are above or beside it. Reading down:
# product (entry on top; controller, which creates the editor; processor;
# the editor's view tree; custom views; the state format and messages that
# processor and controller share; the parameter set), then the framework,
# the stand-ins (sdk, whose VSTGUI binding of editor views builds on the
# toolkit as the SDK's builds on VSTGUI; the toolkit, VSTGUI's stand-in;
# gdiplus on Linux), platform and foundation (fixed-text storage, UTF-8).
#
# Includes of other roots (the SDK's pluginterfaces/, base/, public.sdk/,
# system headers) are not ours and not checked; src/ never includes tools/
# or tests/.
set -euo pipefail
cd "$(dirname "$0")/../src"

declare -A allowed=(
  [entry]="controller processor editor views protocol parameters framework sdk toolkit gdiplus platform foundation"
  [controller]="editor protocol parameters framework sdk toolkit gdiplus platform foundation"
  [processor]="protocol parameters framework sdk platform foundation"
  [editor]="views protocol parameters framework sdk toolkit gdiplus platform foundation"
  [views]="framework toolkit gdiplus platform foundation"
  [protocol]="parameters foundation"
  [parameters]="foundation"
  [framework]="sdk toolkit gdiplus platform foundation"
  [sdk]="toolkit gdiplus platform foundation"
  [toolkit]="gdiplus platform foundation"
  [gdiplus]="platform foundation"
  [platform]="foundation"
  [foundation]=""
)

status=0
for folder in */; do
  folder=${folder%/}
  if [[ -z ${allowed[$folder]+set} ]]; then
    echo "src/$folder: not in the layer table of $0" >&2
    status=1
    continue
  fi
  while IFS=: read -r file line text; do
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$text")
    if [[ $target == tools || $target == tests ]]; then
      echo "src/$file:$line: includes $target/: $text" >&2
      status=1
    elif [[ -n ${allowed[$target]+set} && $target != "$folder" && " ${allowed[$folder]} " != *" $target "* ]]; then
      echo "src/$file:$line: $folder includes $target, which is not below it: $text" >&2
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$folder" || true)
done
if [[ $status -eq 0 ]]; then
  echo "layers: every include between src/ folders points downward"
fi
exit $status
