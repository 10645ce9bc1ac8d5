#!/usr/bin/env bash
# Sizes of a folder of pages, side by side per page: the original, quintaro with HSB=1 KMA=1 FPW=1
# SZ=0 and CSS, JS and ATK (at their default, on), and html-minifier-terser 7.2.0 with the set its
# users switch on (comments, whitespace, attribute quotes, boolean and redundant attributes,
# script and style types, empty attributes, optional tags, CSS and JavaScript), installed with npm
# into a temporary folder. Not part of the tests or CI; needs node, npm and the npm registry.
#   bench/minifier_vergleich.sh [FOLDER] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
korpus=$(realpath "${1:-../shared/corpus/real}")
build=${2:-build}

cmake --build "$build" --target quintaro_korpus_groesse > /dev/null
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
npm install --prefix "$tmp" --no-audit --no-fund --silent html-minifier-terser@7.2.0 > /dev/null

cat > "$tmp/min.js" <<'JS'
// Bytes are read and written as latin1, so every byte of a code page 1252 page round-trips.
const { minify } = require('html-minifier-terser');
const fs = require('fs');
const path = require('path');
const dir = process.argv[2];
(async () => {
  let total = 0;
  let failed = 0;
  for (const f of fs.readdirSync(dir).sort()) {
    const p = path.join(dir, f);
    if (!fs.statSync(p).isFile() || !/\.htm/.test(path.extname(f))) continue;
    const text = fs.readFileSync(p).toString('latin1');
    let out = text;
    try {
      out = await minify(text, {
        removeComments: true,
        collapseWhitespace: true,
        removeAttributeQuotes: true,
        collapseBooleanAttributes: true,
        removeRedundantAttributes: true,
        removeScriptTypeAttributes: true,
        removeStyleLinkTypeAttributes: true,
        removeEmptyAttributes: true,
        removeOptionalTags: true,
        minifyCSS: true,
        minifyJS: true,
      });
    } catch (e) {
      failed++;  // the page stays as it was
    }
    const n = Buffer.byteLength(out, 'latin1');
    console.log(`${f}\t${n}`);
    total += n;
  }
  console.log(`total\t${total}\t${failed} page(s) the minifier could not read`);
})();
JS

"$build/bench/quintaro_korpus_groesse" "$korpus" "" SZ=0 > "$tmp/quintaro.tsv"
node "$tmp/min.js" "$korpus" > "$tmp/minifier.tsv"
echo -e "page\toriginal\tquintaro\tminifier"
join -t $'\t' "$tmp/quintaro.tsv" "$tmp/minifier.tsv" | grep -v '^total' || true
orig=$(awk -F'\t' '$1 == "total" { print $2 }' "$tmp/quintaro.tsv")
q=$(awk -F'\t' '$1 == "total" { print $3 }' "$tmp/quintaro.tsv")
m=$(awk -F'\t' '$1 == "total" { print $2 }' "$tmp/minifier.tsv")
echo -e "total\t$orig\t$q\t$m"
awk -v o="$orig" -v q="$q" -v m="$m" 'BEGIN { printf "share\t100 %%\t%.1f %%\t%.1f %%\n", 100 * q / o, 100 * m / o }'
grep '^total' "$tmp/minifier.tsv" | cut -f3
