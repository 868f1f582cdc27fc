#!/usr/bin/env bash
# Makes docs/screenshot.png, the picture that README and the AppStream metadata
# show: the real window under Xvfb, on a folder of photos, with a three-line
# script opened from the command line, every file selected and the new names
# listed by "Voir".
#
#     bash scripts/screenshot.sh [OUTPUT] [--english] [--style NAME]
#
# OUTPUT is docs/screenshot.png by default. --english shows the window in English;
# --style gives it a Qt style, such as Adwaita-Dark for a dark desktop (Debian's
# adwaita-qt6).
#
# Needs the optimised build (build/release/src/app/quorvel, or QUORVEL_APP) and
# Debian's xvfb, xdotool and imagemagick; with adwaita-icon-theme the files show
# their own icons, as they do on a desktop:
#
#     sudo apt-get install xvfb xdotool imagemagick adwaita-icon-theme
#
# The clicks go to places of the window (see CLICKS below): when the window's
# layout changes, look at the picture and move them.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshot.png}")
shift || true
english=
stylename=
while [ $# -gt 0 ]; do
    case $1 in
    --english) english=1 ;;
    --style) stylename=$2; shift ;;
    *) echo "screenshot: unknown option $1" >&2; exit 2 ;;
    esac
    shift
done
app=$(realpath "${QUORVEL_APP:-build/release/src/app/quorvel}")
width=1024
height=680

if [ -z "${QUORVEL_SCREENSHOT_INSIDE:-}" ]; then
    for tool in xvfb-run xdotool import; do
        command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (see the top of $0)" >&2; exit 1; }
    done
    QUORVEL_SCREENSHOT_INSIDE=1 exec xvfb-run -a -s "-screen 0 ${width}x${height}x24" "$0" "$out" \
        ${english:+--english} ${stylename:+--style "$stylename"}
fi

# A home of its own: the window opens on the home folder, and keeps its
# settings under it.
work=$(mktemp -d "${TMPDIR:-/tmp}/XXXXXX")
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
home="$work/Photos"
mkdir -p "$home"
i=0
for n in 0412 0413 0414 0415 0416 0417 0418 0419 0420 0421; do
    i=$((i + 1))
    head -c $((i * 97531 % 900000 + 40000)) /dev/zero > "$home/IMG_$n.JPG"
done
touch -d "2024-07-14 10:00" "$home"/IMG_*.JPG
# The script as the program saves it: Windows-1252, CR LF.
printf '1|Supprimer les [n=4] premiers caract\xe8res\r\n14|Ajouter [Chaine=vacances_] au d\xe9but\r\n%s\r\n' \
    "12|Remplacer l'extention par [Extension=jpg]" > "$work/vacances.script"

# A copy of the program with its files, whose settings beside it choose the language.
mkdir -p "$work/bin"
cp -r "$(dirname "$app")"/. "$work/bin/"
if [ -d "$(dirname "$app")/../share" ]; then
    cp -r "$(dirname "$app")/../share" "$work/share"
fi
rm -f "$work/bin/quorvel.ini"
if [ -n "$english" ]; then
    printf '[OPTIONS]\nLANGUAGE=1\n' > "$work/bin/quorvel.ini"
fi

export HOME="$home" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" XDG_CURRENT_DESKTOP=GNOME
"$work/bin/$(basename "$app")" ${stylename:+-style "$stylename"} "$work/vacances.script" &
pid=$!
window=$(xdotool search --sync --onlyvisible --name Quorvel | head -1)
xdotool windowmove --sync "$window" 0 0
xdotool windowsize --sync "$window" "$width" "$height"
sleep 1

# CLICKS: the first file of the grid, Ctrl+A for every file, then "Voir".
xdotool mousemove 300 50 click 1
sleep 0.3
xdotool key ctrl+a
sleep 0.3
xdotool mousemove 921 283 click 1
sleep 1

mkdir -p "$(dirname "$out")"
import -window root "$out"
echo "screenshot: $out"
