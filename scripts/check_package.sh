#!/usr/bin/env bash
# Builds the Debian package from the optimised build (which must be built) and
# checks it as a distribution would: lintian without error or warning, the
# desktop entry, the actions of the file managers, the AppStream metadata, the manual pages, the completion, and
# the installed programs finding their files.
#
#     bash scripts/check_package.sh [BUILD_DIR]     (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}

echo "== Debian package =="
rm -f "$build"/quorvel_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/quorvel_*.deb)
echo "package: $deb"

root=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-package-XXXXXX")
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

echo "-- lintian"
# Every tag is shown, down to the pedantic ones; an error or a warning fails. Root
# runs it in CI, which lintian only remarks on.
status=0
lintian --pedantic --display-info --fail-on error,warning "$deb" >"$root.lintian" 2>&1 || status=$?
grep -v '^running with root privileges' "$root.lintian" || true
rm -f "$root.lintian"
if [ "$status" -ne 0 ]; then
    echo "lintian: errors or warnings (status $status)"
    exit 1
fi

echo "-- desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/quorvel.desktop"

echo "-- file managers"
# Dolphin's service menu and Nemo's action hand the files selected to the window:
# Dolphin as paths, each one argument; Nemo as URIs, which no space in a name splits.
for check in "share/kio/servicemenus/quorvel-rename.desktop:Exec=quorvel --files %F" \
    "share/nemo/actions/quorvel-rename.nemo_action:Exec=quorvel --files %U"; do
    action=${check%%:*}
    line=${check#*:}
    if ! grep -qx "$line" "$root/usr/$action"; then
        echo "$action: missing, or without $line"
        exit 1
    fi
done
echo "the service menu and the action open the files selected with quorvel --files"

echo "-- appstreamcli validate"
appstreamcli validate --no-net --explain "$root"/usr/share/metainfo/*.metainfo.xml

echo "-- man --warnings"
for page in "$root"/usr/share/man/man1/*.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
        echo "$page:"
        echo "$warnings"
        exit 1
    fi
    echo "$(basename "$page"): no warning"
done

echo "-- completion"
expect_completion() {
    local expected=$1
    shift
    local got
    got=$(cd "$root" && bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$0"
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        _quorvel_cli
        printf "%s " "${COMPREPLY[@]}"' "$root/usr/share/bash-completion/completions/quorvel-cli" "$@")
    if [ "$got" != "$expected" ]; then
        echo "completion of '$*': '$got', expected '$expected'"
        exit 1
    fi
}
expect_completion "run resume " quorvel-cli r
expect_completion "--dry-run -0 --null --sort --reverse -r --recursive --depth --folders --folders-only --cross-devices --help -- " quorvel-cli run -
expect_completion "--folders --folders-only " quorvel-cli preview -r --depth 2 --fo
expect_completion "2 " quorvel-cli run --depth 2
expect_completion "size " quorvel-cli preview --sort s
expect_completion "taken " quorvel-cli run --sort t
expect_completion "usr " quorvel-cli undo ""
echo "bash completion of quorvel-cli: commands, options, sort keys, depths, folders"

echo "-- the installed programs"
cli="$root/usr/bin/quorvel-cli"
"$cli" --version
LANG=en_US.UTF-8 "$cli" --help | head -1 | grep -qx 'Usage: quorvel-cli COMMAND \[OPTIONS\] ...'
LANG=fr_FR.UTF-8 "$cli" --help | head -1 | grep -qx 'Usage : quorvel-cli COMMANDE \[OPTIONS\] ...'
echo "quorvel-cli speaks English from the installed catalogue, French otherwise"
echo "package checks passed"
