#!/usr/bin/env bash
# The Windows setup program as a user runs it, silently, in a fresh Wine
# prefix: the first install puts every format where hosts look (the VST 2
# DLL in the default folder), writes the Add/Remove Programs entry, and the
# harness renders through the installed VST 3 bundle and VST 2 DLL exactly
# as through the built module; a second install with /D= moves the VST 2
# DLL to the chosen folder; a third, without /D=, keeps that folder; the
# silent uninstaller then leaves the prefix's files and registry as they
# were before, but for a file the user put beside the VST 2 DLL.
# usage: windows_setup.sh <setup.exe> <windows build folder>
set -euo pipefail
setup=$(realpath "$1") build=$(realpath "$2")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
fingerprint=$build/tools/fingerprint/tarvel-fingerprint.exe
[[ -x $fingerprint ]] || { echo "no $fingerprint: build the windows preset first" >&2; exit 1; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarvel-setup.XXXXXX")
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64 wineserver=/usr/lib/wine/wineserver
cleanup() { "$wineserver" -k 2>/dev/null || true; rm -rf "$scratch"; }
trap cleanup EXIT
drive=$WINEPREFIX/drive_c
program_files="$drive/Program Files"
common="$program_files/Common Files"

fail() { echo "FAILED: $*" >&2; exit 1; }
# Runs a Windows program and waits until it and whatever it started (the
# uninstaller runs from a copy of itself) have ended.
run() { "$wine" "$@" </dev/null; local status=$?; "$wineserver" -w; return $status; }

# The prefix's files (less its Windows folder and temporary files) and its
# software registry, to compare after the uninstall.
snapshot() {
  (cd "$drive" && find . -path ./windows -prune -o -path '*/Temp' -prune -o -print | LC_ALL=C sort) > "$1.files"
  for hive in HKLM HKCU; do
    "$wine" reg export "$hive\\Software" 'C:\snapshot.reg' /y >/dev/null
    "$wineserver" -w
    iconv -f UTF-16 -t UTF-8 "$drive/snapshot.reg" >> "$1.registry"
    rm "$drive/snapshot.reg"
  done
}

uninstall_value() {
  "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvel' /v "$1" 2>/dev/null |
    tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}

# What one install lays out, besides the VST 2 DLL.
check_layout() {
  local bundle="$common/VST3/Tarvel64.vst3"
  [[ $(cd "$bundle" && find . | LC_ALL=C sort | tr '\n' ' ') == \
     ". ./Contents ./Contents/Resources ./Contents/Resources/moduleinfo.json ./Contents/x86_64-win ./Contents/x86_64-win/Tarvel64.vst3 " ]] ||
    fail "VST 3 bundle layout: $(cd "$bundle" && find . | sort | tr '\n' ' ')"
  grep -q "\"Version\": *\"$version\"" "$bundle/Contents/Resources/moduleinfo.json" || fail "moduleinfo.json does not say $version"
  [[ -f $common/CLAP/Tarvel64.clap ]] || fail "no Tarvel64.clap in Common Files\\CLAP"
  for file in LICENSE.txt NOTICES.txt Uninstall.exe; do
    [[ -f $program_files/Tarvel/$file ]] || fail "no $file in Program Files\\Tarvel"
  done
  [[ $(uninstall_value DisplayVersion) == "$version" ]] || fail "uninstall key: DisplayVersion '$(uninstall_value DisplayVersion)'"
  [[ $(uninstall_value Publisher) == "Vantle Audio" ]] || fail "uninstall key: Publisher '$(uninstall_value Publisher)'"
  [[ $(uninstall_value DisplayIcon) == 'C:\Program Files\Tarvel\Uninstall.exe,0' ]] || fail "uninstall key: DisplayIcon"
  [[ $(uninstall_value QuietUninstallString) == '"C:\Program Files\Tarvel\Uninstall.exe" /S' ]] || fail "uninstall key: QuietUninstallString"
  local size
  size=$(uninstall_value EstimatedSize)
  (( size > 1024 )) || fail "uninstall key: EstimatedSize '$size'"
}

"$wine" wineboot -i >/dev/null 2>&1
"$wineserver" -w
snapshot "$scratch/before"

run "$setup" /S || fail "the first install exited with $?"
check_layout
[[ -f $program_files/VSTPlugins/Tarvel64.dll ]] || fail "no Tarvel64.dll in the default VST 2 folder"

# The installed bundle and DLL render exactly as the module they came from.
cp "$build/Tarvel64.vst3" "$drive/built.vst3"
run "$fingerprint" take 'C:\built.vst3' 'C:\built.fingerprint' >/dev/null || fail "the built module did not render"
for module in 'C:\Program Files\Common Files\VST3\Tarvel64.vst3' 'C:\Program Files\VSTPlugins\Tarvel64.dll'; do
  run "$fingerprint" take "$module" 'C:\installed.fingerprint' >/dev/null || fail "the harness could not render through $module"
  run "$fingerprint" compare 'C:\built.fingerprint' 'C:\installed.fingerprint' 0 >/dev/null ||
    fail "$module renders differently from the built module"
done
rm "$drive/built.vst3" "$drive/built.fingerprint" "$drive/installed.fingerprint"

# Again over it, into a chosen VST 2 folder: the DLL moves, and the default
# folder, which the first install made, goes with it.
run "$setup" /S '/D=C:\Audio\VST2' || fail "the install over the first exited with $?"
check_layout
[[ -f $drive/Audio/VST2/Tarvel64.dll ]] || fail "no Tarvel64.dll in the chosen folder C:\\Audio\\VST2"
[[ ! -e $program_files/VSTPlugins ]] || fail "the old VST 2 folder is still there"

# The user keeps another plug-in beside ours; the next upgrade remembers the
# chosen folder.
echo "another plug-in" > "$drive/Audio/VST2/Other.dll"
run "$setup" /S || fail "the third install exited with $?"
check_layout
[[ -f $drive/Audio/VST2/Tarvel64.dll && ! -e $program_files/VSTPlugins ]] || fail "the upgrade forgot the chosen VST 2 folder"

run "$drive/Program Files/Tarvel/Uninstall.exe" /S || fail "the uninstaller exited with $?"
snapshot "$scratch/after"
[[ -f $drive/Audio/VST2/Other.dll ]] || fail "the uninstaller removed the user's file"
grep -v '^\./Audio\(/VST2\(/Other\.dll\)\?\)\?$' "$scratch/after.files" > "$scratch/after.files.ours" || true
diff "$scratch/before.files" "$scratch/after.files.ours" || fail "the uninstall left or removed the files above"
diff "$scratch/before.registry" "$scratch/after.registry" || fail "the uninstall left or removed the registry entries above"
echo "windows setup: three installs, the harness through the installed bundle, and the uninstall: ok"
