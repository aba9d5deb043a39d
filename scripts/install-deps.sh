#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the program and the
# tests need and this machine lacks. Safe to run again: it does nothing when
# everything is there. --sanitize adds clang and its sanitizer and libFuzzer
# runtimes, for scripts/test --sanitize.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config ccache
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n libgl-dev ca-certificates
    zlib1g-dev libpugixml-dev libbenchmark-dev
    libzip-dev  # the tests write their zip fixtures with it
    libgecode-dev  # the constraint solver behind the search for an arrangement
    libfreexl-dev  # class lists in the old .xls format and WPS .et
    python3 python3-openpyxl
    fonts-noto-cjk
    poppler-utils
    dpkg-dev file  # the package test: dpkg-shlibdeps, and file for CPack
)
if [ "${1:-}" = "--sanitize" ]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
    status="$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)"
    [ "$status" = "installed" ] || missing+=("$package")
done

if [ "${#missing[@]}" -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
