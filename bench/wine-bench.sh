# Sourced by the benchmark scripts that time quillon-cli under Wine: the build's programs and
# prefix, a scratch folder, and the prefix's Wine server started once and kept running for the
# whole measurement (its output away from ours), so no side pays for starting it. The server
# is stopped and the scratch folder removed on exit.
# Before sourcing, set `name` to the script's name for its messages.
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/windows
cli=$build/src/quillon-cli.exe
[ -f "$cli" ] || { echo "$name: build the windows preset first" >&2; exit 1; }
prefix=$build/wineprefix
[ -f "$prefix/.quillon-ready" ] || "$root/tools/wine-prefix-setup" "$prefix" "$build/imshim" >/dev/null
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
wineserver -p30 </dev/null >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
