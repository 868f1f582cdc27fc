#!/usr/bin/env bash
# Renames 100,000 files by prefixing "x_", with quorvel-cli run and with Debian's
# perl rename (package "rename"), in alternating rounds on fresh folders, and prints
# the median wall time of each, with that of quorvel-cli undo of each run. The
# journals go to a temporary folder of its own ($XDG_STATE_HOME). Not run by CI.
# bench/rename_figures.sh gives the figures next to the plain C loop as well.
#
#   bash bench/compare_rename.sh [ROUNDS] [QUORVEL_CLI]
set -euo pipefail
rounds=${1:-7}
cli=${2:-"$(dirname "$0")/../build/release/src/cli/quorvel-cli"}
base=${QUORVEL_BENCH_DIR:-/tmp}
count=100000
command -v rename >/dev/null || { echo "perl rename is missing (apt-get install rename)" >&2; exit 1; }

work=$(mktemp -d "$base/quorvel-compare-XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_STATE_HOME="$work/state"
printf '14|Ajouter [Chaine=x_] au d\xe9but\r\n' >"$work/prefix.script"

fill() { # a fresh folder of $count empty files
    rm -rf "$work/files" && mkdir "$work/files"
    (cd "$work/files" && seq -f 'IMG_%06g.JPG' 0 $((count - 1)) | xargs touch)
    sync
}
now() { date +%s%N; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }

: >"$work/quorvel.ms"
: >"$work/undo.ms"
: >"$work/perl.ms"
for ((i = 1; i <= rounds; i++)); do
    fill
    t=$(now)
    "$cli" run "$work/prefix.script" "$work/files" 2>/dev/null
    echo $((($(now) - t) / 1000000)) >>"$work/quorvel.ms"
    test -e "$work/files/x_IMG_000000.JPG"
    sync
    t=$(now)
    "$cli" undo "$work/files" 2>/dev/null
    echo $((($(now) - t) / 1000000)) >>"$work/undo.ms"
    test -e "$work/files/IMG_000000.JPG"

    fill
    t=$(now)
    (cd "$work/files" && printf '%s\0' * | rename -0 's/^/x_/')
    echo $((($(now) - t) / 1000000)) >>"$work/perl.ms"
    test -e "$work/files/x_IMG_000000.JPG"
done
q=$(median <"$work/quorvel.ms")
p=$(median <"$work/perl.ms")
echo "quorvel-cli run: $q ms (rounds: $(paste -sd' ' "$work/quorvel.ms"))"
echo "quorvel-cli undo: $(median <"$work/undo.ms") ms (rounds: $(paste -sd' ' "$work/undo.ms"))"
echo "perl rename:     $p ms (rounds: $(paste -sd' ' "$work/perl.ms"))"
awk -v q="$q" -v p="$p" 'BEGIN {printf "ratio quorvel/perl: %.2f\n", q / p}'
