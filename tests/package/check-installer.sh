#!/usr/bin/env bash
# Packages what the Windows build holds (tools/package --no-build), checks the portable
# zip's file list, then installs silently under Wine and uninstalls again: the files, the
# shortcuts, the Open with entry and the uninstall key come and go, and a script of the user's own
# stays.
#   check-installer.sh SOURCE_DIR WINEPREFIX WORK_DIR
# Wine's output is captured through files, never pipes. Exits 77 (skipped) without the
# packaging tools.
set -euo pipefail
src=$(realpath "$1")
prefix=$(realpath -m "$2")
work=$(realpath -m "$3")
for tool in makensis zip unzip; do
  command -v "$tool" >/dev/null || { echo "check-installer: no $tool (tools/install-deps)"; exit 77; }
done
wine_run=$src/tools/wine-run
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$work"
mkdir -p "$work"
"$src/tools/package" --no-build "$work" >"$work/package.log" 2>&1 || { cat "$work/package.log"; exit 1; }
version=$(sed -n 's/^project(Quillon VERSION \([0-9][0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
setup=$work/Quillon-$version-setup.exe
zipfile=$work/Quillon-$version-portable.zip

shipped=(Quillon.exe quillon-cli.exe README.md LICENSE)
for tool in convert composite montage mogrify identify compare stream conjure; do shipped+=("im7/$tool.exe"); done
for script in "$src"/samples/*.xml; do shipped+=("$(basename "$script")"); done

# The zip holds exactly the shipped files, in a folder named after the version.
zipinfo -1 "$zipfile" | grep -v '/$' | sort >"$work/zip-list.txt"
printf "Quillon-$version/%s\n" "${shipped[@]}" | sort >"$work/zip-expected.txt"
diff -u "$work/zip-expected.txt" "$work/zip-list.txt" || fail "the zip's file list differs"

# Where this prefix's user folders are, as Linux paths (C: is the prefix's drive_c).
"$wine_run" "$prefix" cmd /c 'echo %LOCALAPPDATA%& echo %APPDATA%' >"$work/folders.txt" 2>&1
mapfile -t folders < <(tr -d '\r' <"$work/folders.txt" | grep '^C:' | sed 's|^C:|drive_c|; s|\\|/|g')
if [ ${#folders[@]} -ne 2 ]; then
  echo "Wine named no user folders:"
  cat "$work/folders.txt"
  exit 1
fi
install_dir=$prefix/${folders[0]}/Programs/Quillon
shortcut="$prefix/${folders[1]}/Microsoft/Windows/Start Menu/Programs/Quillon.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillon'
key_exists() { "$wine_run" "$prefix" reg query "$key" >"$work/reg.txt" 2>&1; }
send_to="$prefix/${folders[1]}/Microsoft/Windows/SendTo/Quillon.lnk"
open_with='HKCU\Software\Classes\Applications\Quillon.exe'
open_with_exists() { "$wine_run" "$prefix" reg query "$open_with" /s >"$work/open-with.txt" 2>&1; }

# A run before this one may have stopped half-way.
rm -rf "$install_dir" "$shortcut" "$send_to"
"$wine_run" "$prefix" reg delete "$key" /f >"$work/reg-delete.txt" 2>&1 || true

"$wine_run" "$prefix" "$setup" /S >"$work/setup.txt" 2>&1 || fail "setup.exe /S exited with $?"
for file in "${shipped[@]}" Uninstall.exe; do
  [ -f "$install_dir/$file" ] || fail "not installed: $install_dir/$file"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut: $shortcut"
key_exists || fail "no uninstall key $key"
grep -q 'Uninstall.exe' "$work/reg.txt" || fail "the uninstall key names no Uninstall.exe"
[ -f "$send_to" ] || fail "no Send to shortcut: $send_to"
open_with_exists || fail "Quillon is not offered under Open with: no $open_with"
grep -q '\.jpg' "$work/open-with.txt" || fail "Open with names no .jpg among the supported types"

# A script the user wrote beside the program, then a silent uninstall. The uninstaller
# copies itself away and returns at once, so its work is waited for: it removes
# Uninstall.exe after the key, the shortcut and the other files.
echo '<script args="0" name="Mine">convert rose: mine.png</script>' >"$install_dir/mine.xml"
"$wine_run" "$prefix" "$install_dir/Uninstall.exe" /S >"$work/uninstall.txt" 2>&1 ||
  fail "Uninstall.exe /S exited with $?"
for _ in $(seq 1 600); do
  [ -e "$install_dir/Uninstall.exe" ] || break
  sleep 0.1
done
for file in "${shipped[@]}" Uninstall.exe; do
  [ ! -e "$install_dir/$file" ] || fail "left after uninstalling: $install_dir/$file"
done
[ ! -e "$shortcut" ] || fail "shortcut left after uninstalling: $shortcut"
[ ! -e "$send_to" ] || fail "Send to shortcut left after uninstalling: $send_to"
! open_with_exists || fail "Open with key left after uninstalling"
! key_exists || fail "uninstall key left after uninstalling"
[ -f "$install_dir/mine.xml" ] || fail "the user's own script was removed"
rm -rf "$install_dir"

[ "$failures" -eq 0 ] || exit 1
echo "installer and zip: all checks passed"
