#!/usr/bin/env bash
# The window's layout and texts once more at other display scalings (144 dots per inch is
# 150 %), in a prefix of its own whose display is set to each in turn (Wine applies it at
# its server's start).
#   check-scaling.sh WINE-RUN PREFIX TESTS.exe [DPI ...]
set -euo pipefail
wine_run=$1 prefix=$2 tests=$3
answer=$(mktemp)
trap 'rm -f "$answer"' EXIT
"$wine_run" "$prefix" cmd /c exit >"$answer" 2>&1 || { cat "$answer" >&2; exit 1; }
export WINEPREFIX=$prefix WINEDEBUG=-all
failed=0
for dpi in "${@:4}"; do
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >"$answer" 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w
  echo "== at $dpi dots per inch"
  QUILLON_EXPECT_DPI=$dpi "$wine_run" "$prefix" "$tests" --gtest_filter='Scaling.*:MainWindowBuilt.HasThe*:MainWindowBuilt.EveryTextFitsItsControl:MsgBoxWindow.EveryTextIsShownWholeOrScrolls' ||
    failed=1
done
exit $failed
