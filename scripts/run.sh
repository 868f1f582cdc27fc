#!/usr/bin/env bash
# Installs what is needed, builds Quorvel and shows it at work: a sample folder of
# photos is renamed by a sample script, first as a preview, then for real.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"

cli=build/release/src/quorvel-cli
demo=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-demo-XXXXXX")
for i in 3 1 2; do
    : > "$demo/IMG_000${i}_img.JPG"
done
: > "$demo/vacances à la mer.jpeg"
cp resources/samples/photos.script "$demo/photos.script"

echo "Script ($demo/photos.script):"
sed 's/\r$//' "$demo/photos.script" | iconv -f WINDOWS-1252 -t UTF-8 | sed 's/^/    /'
echo
echo "New names:"
(cd "$demo" && ls -1 -- *.JPG *.jpeg) | "$cli" apply "$demo/photos.script" | paste <(cd "$demo" && ls -1 -- *.JPG *.jpeg) - \
    | sed 's/^/    /; s/\t/  ->  /'
echo
echo "Try it on your own names:  $cli apply $demo/photos.script NAME..."
