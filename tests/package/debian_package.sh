#!/usr/bin/env bash
# The Debian package: lintian finds no error in it; dpkg -i installs it, the
# installed tarvel-render renders through the installed module, and dpkg -r
# takes away every file and folder the package brought. It installs on this
# machine (with sudo when not root), so it refuses to run where tarvel is
# installed already.
# usage: debian_package.sh <tarvel_<version>_<arch>.deb>
set -euo pipefail
deb=$(realpath "$1")
fail() { echo "FAILED: $*" >&2; exit 1; }
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)

# Errors fail; warnings are listed (the package has none today) and so are
# the informational tags, which README.md explains.
lintian --tag-display-limit 0 --display-info --pedantic "$deb" 2>/dev/null | tee "${TMPDIR:-/tmp}/tarvel-lintian.txt" | sed 's/^/lintian: /'
! grep -q '^E: ' "${TMPDIR:-/tmp}/tarvel-lintian.txt" || fail "lintian found errors"
echo "lintian: $(grep -c '^E: ' "${TMPDIR:-/tmp}/tarvel-lintian.txt" || true) errors, $(grep -c '^W: ' "${TMPDIR:-/tmp}/tarvel-lintian.txt" || true) warnings"
rm -f "${TMPDIR:-/tmp}/tarvel-lintian.txt"

if dpkg-query -W -f='${Status}' tarvel 2>/dev/null | grep -q ' installed$'; then
  fail "tarvel is installed on this machine; this test installs and removes it (dpkg -r tarvel first)"
fi

# What the package brings: its files, and its folders that are not there yet.
listing=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' | grep -v '^/$')
contents=$(grep -v '/$' <<<"$listing")
new_folders=()
while read -r folder; do
  [[ -e $folder ]] || new_folders+=("$folder")
done < <(grep '/$' <<<"$listing" | sed 's|/$||')

"${sudo_cmd[@]}" dpkg -i "$deb" > /dev/null || fail "dpkg -i"
trap '"${sudo_cmd[@]}" dpkg -r tarvel > /dev/null 2>&1 || true' EXIT
while read -r path; do
  [[ -e $path || -L $path ]] || fail "dpkg -i did not install $path"
done <<<"$contents"
out=$(mktemp -d)
/usr/bin/tarvel-render -o "$out/demo.wav" > "$out/report" || { cat "$out/report"; fail "the installed tarvel-render"; }
grep -q "output:" "$out/report" && [[ -s $out/demo.wav ]] || fail "the installed tarvel-render wrote no output"
rm -rf "$out"

"${sudo_cmd[@]}" dpkg -r tarvel > /dev/null || fail "dpkg -r"
trap - EXIT
[[ -z $(dpkg-query -W -f='${Status}' tarvel 2>/dev/null | grep -v 'not-installed') ]] ||
  fail "dpkg still knows tarvel: $(dpkg-query -W -f='${Status}' tarvel)"
while read -r path; do
  if [[ -L $path || -f $path ]]; then fail "dpkg -r left $path"; fi
done <<<"$contents"
for folder in "${new_folders[@]}"; do
  [[ ! -e $folder ]] || fail "dpkg -r left the folder $folder"
done
echo "debian package: lintian without errors, dpkg -i, the installed tool renders, dpkg -r leaves nothing: ok"
