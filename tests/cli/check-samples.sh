#!/usr/bin/env bash
# quillon-cli end to end on the sample scripts: every sample is valid, the listing and the
# bodies agree with the files, and bad arguments exit with 2 and a message.
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
grep -qP '^\d+\tTwo pictures side by side\t2\t0\tside-by-side.xml$' <<<"$list" || fail "list: side-by-side line"
grep -qP '\tThumbnail with a white border\t1\t1\tthumbnail.xml$' <<<"$list" || fail "list: thumbnail line"

position=$(grep -P '\tthumbnail.xml$' <<<"$list" | cut -f1)
body=$("$cli" body "$samples" "$position") || fail "body exited $?"
grep -q 'convert $NAME1.$EXT1 -thumbnail' <<<"$body" || fail "body: shorthand not applied"
grep -q '( +clone -background black -shadow 60x4+4+4 ) ^' <<<"$(tr -d '\r' <<<"$body")" || fail "body: conversion"

"$cli" check "$samples/no-such-folder" 2>/dev/null; [ $? -eq 2 ] || fail "missing folder must exit 2"
"$cli" body "$samples" 0 2>/dev/null; [ $? -eq 2 ] || fail "position 0 must exit 2"
"$cli" body "$samples" 99 2>/dev/null; [ $? -eq 2 ] || fail "position past the end must exit 2"
msg=$("$cli" list 2>&1 >/dev/null); [ -n "$msg" ] || fail "usage error must say something"

[ "$failures" -eq 0 ] && echo "quillon-cli samples: all checks passed"
exit "$failures"
