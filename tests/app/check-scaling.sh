#!/usr/bin/env bash
# The window's layout and texts once more at 150 % display scaling, in a prefix of its own
# whose display is set to 144 dots per inch (Wine applies that at its server's start).
#   check-scaling.sh WINE-RUN PREFIX TESTS.exe
set -euo pipefail
wine_run=$1 prefix=$2 tests=$3
answer=$(mktemp)
trap 'rm -f "$answer"' EXIT
"$wine_run" "$prefix" cmd /c exit >"$answer" 2>&1 || { cat "$answer" >&2; exit 1; }
export WINEPREFIX=$prefix WINEDEBUG=-all
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >"$answer" 2>&1
wineserver -k 2>/dev/null || true
wineserver -w
QUILLON_EXPECT_DPI=144 "$wine_run" "$prefix" "$tests" --gtest_filter='Scaling.*:MainWindowBuilt.HasThe*:MainWindowBuilt.EveryTextFitsItsControl:MsgBoxWindow.EveryTextIsShownWholeOrScrolls'
