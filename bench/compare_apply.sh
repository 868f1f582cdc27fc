#!/usr/bin/env bash
# New names of 1,000,000 names read from standard input: quorvel-cli apply with the
# five-line script of engine_bench, against a perl -ne one-liner doing the same
# work. Both outputs must be equal; the rounds alternate so that the load of the
# machine weighs on both alike, and the figure of each is its median wall time.
# Bound: quorvel-cli in at most 0.25 times perl's time. Not run by CI.
#
#   bash bench/compare_apply.sh [ROUNDS] [QUORVEL_CLI]
set -euo pipefail
rounds=${1:-7}
cli=${2:-"$(dirname "$0")/../build/release/src/cli/quorvel-cli"}
count=1000000

work=$(mktemp -d "${QUORVEL_BENCH_DIR:-/tmp}/quorvel-apply-XXXXXX")
trap 'rm -rf "$work"' EXIT
seq -f 'IMG_%06g_img.JPG' 0 $((count - 1)) >"$work/names"
# Windows-1252, as the program writes its scripts.
printf '%s\r\n' \
    $'1|Supprimer les [n=2] premiers caract\xe8res' \
    '10|Remplacer [Chaine1=img] par [Chaine2=photo]' \
    $'14|Ajouter [Chaine=new_] au d\xe9but' \
    $'20|Ajouter [Num\xe9ro=0001] \xe0 la fin' \
    "12|Remplacer l'extention par [Extension=jpeg]" >"$work/photo.script"

# The same five steps: the first two characters off, "img" in any case of A-Z
# replaced, "new_" in front, the number before the extension, the extension changed.
# The extension runs from the last "." (not followed by "/") to the end.
perl_apply() {
    perl -ne 'chomp;
        $_ = substr($_, 2);
        s/img/photo/gi;
        $_ = "new_$_";
        $n = sprintf "%04d", ++$c;
        $i = rindex $_, "."; $i = -1 if index($_, "/", $i) > $i;
        $_ = $i < 0 ? "$_$n" : substr($_, 0, $i) . $n . substr($_, $i);
        $i = rindex $_, "."; $i = -1 if index($_, "/", $i) > $i;
        $_ = ($i < 0 ? $_ : substr($_, 0, $i)) . ".jpeg";
        print "$_\n"'
}

now() { date +%s%N; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }

: >"$work/quorvel.ms"
: >"$work/perl.ms"
for ((i = 1; i <= rounds; i++)); do
    t=$(now)
    "$cli" apply "$work/photo.script" <"$work/names" >"$work/quorvel.out"
    echo $((($(now) - t) / 1000000)) >>"$work/quorvel.ms"
    t=$(now)
    perl_apply <"$work/names" >"$work/perl.out"
    echo $((($(now) - t) / 1000000)) >>"$work/perl.ms"
    cmp -s "$work/quorvel.out" "$work/perl.out" || { echo "the outputs differ" >&2; exit 1; }
done
q=$(median <"$work/quorvel.ms")
p=$(median <"$work/perl.ms")
echo "quorvel-cli apply: $q ms (rounds: $(paste -sd' ' "$work/quorvel.ms"))"
echo "perl -ne:          $p ms (rounds: $(paste -sd' ' "$work/perl.ms"))"
awk -v q="$q" -v p="$p" -v n="$count" 'BEGIN {
    printf "quorvel-cli apply: %.2f M names/s\n", n / q / 1000
    printf "ratio quorvel/perl: %.2f (bound 0.25: %s)\n", q / p, q / p <= 0.25 ? "ok" : "MISSED"
}'
