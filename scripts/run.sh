#!/usr/bin/env bash
# Installs what is needed, builds Quorvel and starts it on a sample folder of
# photos (a copy in a temporary folder, so nothing of yours is renamed).
#
# Without a display it shows the same script at work through quorvel-cli instead.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"

demo=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-demo-XXXXXX")
for i in 3 1 2 5 4; do
    head -c $((i * 40000)) /dev/zero > "$demo/IMG_000${i}_img.JPG"
done
: > "$demo/vacances à la mer.jpeg"
cp resources/samples/photos.script "$demo/photos.script"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "Sample folder: $demo (script: $demo/photos.script)"
    cd "$demo"
    exec "$OLDPWD/build/release/src/app/quorvel" "$demo/photos.script"
fi

cli=build/release/src/cli/quorvel-cli
echo "No display: showing the sample script with quorvel-cli."
echo
echo "Script ($demo/photos.script):"
sed 's/\r$//' "$demo/photos.script" | iconv -f WINDOWS-1252 -t UTF-8 | sed 's/^/    /'
echo
echo "New names:"
(cd "$demo" && ls -1 -- *.JPG *.jpeg) | "$cli" apply "$demo/photos.script" | paste <(cd "$demo" && ls -1 -- *.JPG *.jpeg) - \
    | sed 's/^/    /; s/\t/  ->  /'
echo
echo "Try it on your own names:  $cli apply $demo/photos.script NAME..."
