#!/usr/bin/env bash
# The English catalog is complete and current: lupdate, run over the sources
# into a copy of it, finds no text the catalog lacks and none it keeps in
# vain, and every text has its translation.
#   CatalogTest.sh LUPDATE CATALOG [lupdate options and source folders...]
set -euo pipefail
lupdate=$1 catalog=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$catalog" "$work/catalog.ts"
"$lupdate" "$@" -extensions cpp,h -ts "$work/catalog.ts" > "$work/lupdate.log" 2>&1 || {
  cat "$work/lupdate.log"; exit 1; }

status=0
if grep -n -B2 'type="unfinished"\|<translation></translation>' "$work/catalog.ts"; then
  echo "FAIL: the texts above have no English translation"
  status=1
fi
if ! diff -u "$catalog" "$work/catalog.ts"; then
  echo "FAIL: the catalog is not up to date with the sources: cmake --build build --target update_translations"
  status=1
fi
count=$(grep -c '<source>' "$catalog")
[ "$status" -eq 0 ] && echo "PASS: $count texts, each with its English translation"
exit "$status"
