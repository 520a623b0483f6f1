#!/usr/bin/env bash
# quillon-cli end to end on the sample scripts: every sample is valid, the listing and the
# bodies agree with the files, and bad arguments exit with 3 and a message.
set -u
cli=$1
samples=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

count=$(ls "$samples"/*.xml | wc -l)
log=$("$cli" check "$samples") || fail "check exited $?"
grep -q "^Found a total of $count xml. Analysis started" <<<"$(tr -d '\r' <<<"$log")" || fail "check: total"
[ "$(grep -c 'This script takes' <<<"$log")" -eq "$count" ] || fail "check: not every sample is valid"
grep -q 'Invalid xml' <<<"$log" && fail "check: a sample is invalid"
[ "$("$cli" check "$samples" | tail -c 4 | od -An -tx1 | tr -d ' \n')" = 0d0a0d0a ] || fail "check: log must end in two CR LF"

list=$("$cli" list "$samples") || fail "list exited $?"
[ "$(wc -l <<<"$list")" -eq "$count" ] || fail "list: one line per sample"
# The starter library: at least 16 scripts, with at least 2 for no picture, 8 for one, 3 for
# two, 1 for three and 1 for four pictures.
[ "$count" -ge 16 ] || fail "only $count samples"
for wanted in 0:2 1:8 2:3 3:1 4:1; do
  taking=$(cut -f3 <<<"$list" | grep -cx "${wanted%:*}")
  [ "$taking" -ge "${wanted#*:}" ] || fail "only $taking samples take ${wanted%:*} pictures"
done
grep -qP '^\d+\tTwo pictures side by side\t2\t0\t2-side-by-side.xml$' <<<"$list" || fail "list: side-by-side line"
grep -qP '\tVisual difference of two pictures\t2\t1\t2-difference.xml$' <<<"$list" || fail "list: difference line"
grep -qP '\tContact sheet, 2 x 2\t4\t0\t4-contact-sheet.xml$' <<<"$list" || fail "list: contact sheet line"
# Files are listed by name, so the numbered names group the scripts by picture count.
[ "$(cut -f3 <<<"$list" | tr -d '\n')" = "$(cut -f3 <<<"$list" | sort -n | tr -d '\n')" ] ||
  fail "list: not grouped by picture count"

position=$(grep -P '\t1-polaroid.xml$' <<<"$list" | cut -f1)
body=$("$cli" body "$samples" "$position") || fail "body exited $?"
grep -q 'convert $NAME1.$EXT1 -thumbnail' <<<"$body" || fail "body: shorthand not applied"
grep -q '$NAME1_polaroid.png$' <<<"$(tr -d '\r' <<<"$body")" || fail "body: shorthand in the output name"
grep -q '( +clone -background black -shadow 50x8+8+8 ) +swap ^' <<<"$(tr -d '\r' <<<"$body")" || fail "body: conversion"

"$cli" check "$samples/no-such-folder" 2>/dev/null; [ $? -eq 3 ] || fail "missing folder must exit 3"
"$cli" body "$samples" 0 2>/dev/null; [ $? -eq 3 ] || fail "position 0 must exit 3"
"$cli" body "$samples" 99 2>/dev/null; [ $? -eq 3 ] || fail "position past the end must exit 3"
msg=$("$cli" list 2>&1 >/dev/null); [ -n "$msg" ] || fail "usage error must say something"

[ "$failures" -eq 0 ] && echo "quillon-cli samples: all checks passed"
exit "$failures"
