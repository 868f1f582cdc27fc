#!/usr/bin/env bash
# Installs the Debian packages Quorvel needs to build, test and run.
# Idempotent and non-interactive: does nothing when everything is present.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkgconf
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    locales
    libicu-dev libpcre2-dev
    libexiv2-dev libtag1-dev python3-pil exiv2 ffmpeg
    qt6-base-dev qt6-translations-l10n fonts-dejavu-core
    dpkg-dev file
    gettext scdoc
    e2fsprogs
    lintian desktop-file-utils appstream man-db bash-completion
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A French locale lets the tests check that numbers are read the same whatever
# the user's decimal separator; an English one that quorvel-cli speaks English.
missing_locales=()
for l in fr_FR en_US; do
    if ! locale -a 2>/dev/null | grep -qi "^$l\.utf-\?8$"; then
        missing_locales+=("$l")
    fi
done
if [ ${#missing_locales[@]} -gt 0 ] && [ -f /etc/locale.gen ]; then
    for l in "${missing_locales[@]}"; do
        "${sudo_cmd[@]}" sed -i "s/^# *\($l.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    done
    "${sudo_cmd[@]}" locale-gen >/dev/null
fi
echo "setup: everything needed is installed"
