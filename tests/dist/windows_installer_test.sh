#!/usr/bin/env bash
# windows_installer_test.sh CMAKE BUILD WINDOW VERSION
#   Makes the installer and the portable .zip (target windows-installer),
#   then, under Wine in the build's Windows: installs silently, runs the
#   installed velmorant-cli, reads the uninstall entry and the Start-menu
#   shortcut (WINDOW is 1 when velmorant.exe is built), uninstalls silently
#   and finds nothing left; unpacks the .zip and runs its velmorant-cli.
set -euo pipefail
cmake=$1 build=$2 window=$3 version=$4
# No menu entries of the host for the shortcut.
export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
drive="$WINEPREFIX/drive_c"
dir="$drive/Program Files/Velmorant"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Velmorant.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmorant'
stage="$build/dist/windows/velmorant-$version"
work=$(mktemp -d)
fail() { echo "FAIL: $*" >&2; exit 1; }

# What an earlier run that failed may have left in the build's Windows.
remove_installed() {
  rm -rf "$dir" "$shortcut" "$drive"/users/*/Temp/~nsu*.tmp
  wine reg delete "$key" /f >/dev/null 2>&1 || true
}
trap 'remove_installed; rm -rf "$work"' EXIT
remove_installed

"$cmake" --build "$build" --target windows-installer >/dev/null
files="README.txt velmorant-blank.mdb velmorant-cli.exe"
[ "$window" = 1 ] && files+=" velmorant.exe"

# Every file of drive C:, but the temporary ones of Wine and of other tests.
snapshot() { (cd "$drive" && find . -path './users/*/Temp' -prune -o -print | sort); }
snapshot >"$work/before"

# $1: the folder holding velmorant-cli.exe, which must run and find the empty
# database beside it.
runs() {
  [ "$(cd "$work" && wine "$1/velmorant-cli.exe" --version)" = "velmorant-cli $version" ] || fail "$1: --version"
  (cd "$work" && wine "$1/velmorant-cli.exe" generate generated.mdb --seed 1 --scale 1 >/dev/null) ||
    fail "$1: generate does not find velmorant-blank.mdb"
  rm "$work/generated.mdb"
}

wine "$build/velmorant-$version-setup.exe" /S || fail "the installer failed"
[ "$(ls "$dir")" = "$(tr ' ' '\n' <<<"$files uninstall.exe" | sort)" ] || fail "installed: $(ls "$dir")"
for f in $files; do cmp "$stage/$f" "$dir/$f" || fail "installed $f differs"; done
runs "$dir"

wine reg export "$key" "$work/key.reg" /y >/dev/null || fail "no uninstall entry"
entry=$(iconv -f UTF-16 -t UTF-8 "$work/key.reg" | tr -d '\r')
main=velmorant-cli.exe
[ "$window" = 1 ] && main=velmorant.exe
folder='C:\\Program Files\\Velmorant'
while IFS= read -r line; do
  grep -Fxq "$line" <<<"$entry" || fail "uninstall entry lacks $line: $entry"
done <<EOF
"DisplayName"="Velmorant"
"DisplayVersion"="$version"
"Publisher"="Vývojári programu Velmorant"
"DisplayIcon"="$folder\\\\$main"
"InstallLocation"="$folder"
"UninstallString"="\\"$folder\\\\uninstall.exe\\""
"QuietUninstallString"="\\"$folder\\\\uninstall.exe\\" /S"
"NoModify"=dword:00000001
"NoRepair"=dword:00000001
EOF
size=$(sed -n 's/^"EstimatedSize"=dword://p' <<<"$entry")
kib=$(du -sk --apparent-size "$dir" | cut -f1)
[ -n "$size" ] && [ $((16#$size * 10)) -ge $((kib * 9)) ] && [ $((16#$size * 10)) -le $((kib * 11)) ] ||
  fail "EstimatedSize ${size:-missing}, the folder holds $kib KiB"

if [ "$window" = 1 ]; then
  [ -f "$shortcut" ] || fail "no Start-menu shortcut"
  grep -aqF 'C:\Program Files\Velmorant\velmorant.exe' "$shortcut" || fail "the shortcut does not start velmorant.exe"
else
  [ ! -e "$shortcut" ] || fail "a shortcut without the window program"
fi

# The uninstaller runs a copy of itself from the temporary folder and returns
# at once; the folder goes last.
wine "$dir/uninstall.exe" /S || fail "the uninstaller failed"
for _ in $(seq 120); do [ -e "$dir" ] || break; sleep 0.5; done
[ ! -e "$dir" ] || fail "left behind: $(ls -A "$dir")"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstall entry is left"
snapshot >"$work/after"
diff "$work/before" "$work/after" >&2 || fail "the uninstaller left the files above"

# The portable .zip: the same files in one folder, anywhere.
portable="$work/prenosný priečinok"
mkdir "$portable"
(cd "$portable" && "$cmake" -E tar xf "$build/velmorant-$version-windows.zip")
[ "$(ls "$portable")" = "velmorant-$version" ] || fail "the .zip's top folder: $(ls "$portable")"
for f in $files; do cmp "$stage/$f" "$portable/velmorant-$version/$f" || fail "zipped $f differs"; done
[ "$(ls "$portable/velmorant-$version" | wc -l)" = "$(wc -w <<<"$files")" ] || fail "zipped: $(ls "$portable/velmorant-$version")"
runs "$portable/velmorant-$version"
