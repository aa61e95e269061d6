#!/usr/bin/env bash
# Times `vidlatch-cli convert` on generated page addresses beside `cat` of the
# same file and the sed one-liner a user would otherwise write.
# Usage: bench/convert-vs-cat.sh [LINES] (default 1000000); needs build/bin/vidlatch-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-1000000}
cli=build/bin/vidlatch-cli
[ -x "$cli" ] || { echo "build first: $cli is missing" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input=$work/addresses.txt

# Mostly video pages, some with a query string, some albums and foreign pages.
awk -v n="$lines" 'BEGIN {
  srand(20091106);
  alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  for (i = 0; i < n; i++) {
    code = "";
    for (k = 0; k < 11; k++) code = code substr(alphabet, int(rand() * 64) + 1, 1);
    r = rand();
    if (r < 0.75)      print "http://v.vidsite.example/page/W/f/t/" code ".html";
    else if (r < 0.90) print "http://v.vidsite.example/page/a/b/c/" code ".html?from=home";
    else if (r < 0.95) print "http://v.vidsite.example/album/2009/" code "/index.html";
    else               print "http://example.org/watch/" code ".html";
  }
}' > "$input"
cat "$input" > /dev/null  # warm the page cache

sed_script='s#^.*http://v\.vidsite\.example/.*/([^/?#]{11})\.html([?#].*)?$#http://static.vidsite.example/v1/res/vidplayer.swf?f=3\&vid=\1#'

best() {  # best wall time of three runs, in milliseconds
  local best_ms=
  for _ in 1 2 3; do
    local start end ms
    start=$(date +%s%N)
    "$@" < "$input" > /dev/null || true
    end=$(date +%s%N)
    ms=$(( (end - start) / 1000000 ))
    if [ -z "$best_ms" ] || [ "$ms" -lt "$best_ms" ]; then best_ms=$ms; fi
  done
  echo "$best_ms"
}

cat_ms=$(best cat)
cli_ms=$(best "$cli" convert)
sed_ms=$(best sed -E "$sed_script")
size=$(du -h "$input" | cut -f1)

printf '%s lines (%s)\n' "$lines" "$size"
printf '  cat                   %6d ms\n' "$cat_ms"
printf '  vidlatch-cli convert  %6d ms  (%s x cat)\n' "$cli_ms" "$(awk -v a="$cli_ms" -v b="$cat_ms" 'BEGIN { printf "%.1f", a / (b > 0 ? b : 1) }')"
printf '  sed -E one-liner      %6d ms\n' "$sed_ms"
