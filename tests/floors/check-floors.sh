#!/usr/bin/env bash
# Keeps the floors of the source tree: base includes nothing else of ours, no subsystem
# includes a program's own folder (app/, cli/, forwarder/), no two subsystems include each
# other, and no file without the _win suffix includes <windows.h> or a _win header.
#   check-floors.sh SRC_FOLDER
set -euo pipefail
cd "$1"
subsystems="catalogue execution pictures dialogs settings"
status=0
declare -A uses=()
while IFS= read -r line; do
  file=${line%%:*}
  file=${file#./}
  target=$(sed -n 's/.*#include "\([a-z]*\)\/.*/\1/p' <<<"$line")
  from=${file%%/*}
  [ -z "$target" ] || [ "$target" = "$from" ] && continue
  case $from in
    base) echo "base includes $target: $line"; status=1 ;;
    app | cli | forwarder) ;;
    *)
      if [ "$target" = app ] || [ "$target" = cli ] || [ "$target" = forwarder ]; then
        echo "$from reaches up into $target: $line"
        status=1
      fi
      uses["$from>$target"]=$file ;;
  esac
done < <(grep -rn '^#include "' --include='*.h' --include='*.cpp' .)
for a in $subsystems; do
  for b in $subsystems; do
    if [ -n "${uses["$a>$b"]:-}" ] && [ -n "${uses["$b>$a"]:-}" ]; then
      echo "$a and $b include each other (${uses["$a>$b"]}, ${uses["$b>$a"]})"
      status=1
    fi
  done
done
while IFS= read -r file; do
  case $file in *_win.*) continue ;; esac
  if grep -qE '^#include (<windows\.h>|"[^"]*_win\.h")' "$file"; then
    echo "portable file includes Windows: $file"
    status=1
  fi
done < <(find . -name '*.h' -o -name '*.cpp' | grep -v '_posix\.')
[ $status -eq 0 ] && echo "floors kept"
exit $status
