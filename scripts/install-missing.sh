#!/usr/bin/env bash
# Installs, non-interactively, those of the named Debian packages that are
# not installed yet; installs nothing when all are there. Fails, saying why,
# when they cannot be installed. With --no-prompt, sudo may not ask for a
# password either.
set -euo pipefail

sudo_cmd=(sudo)
if [ "${1:-}" = "--no-prompt" ]; then
    sudo_cmd=(sudo -n)
    shift
fi

missing=()
for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -gt 0 ] || exit 0

if ! command -v apt-get >/dev/null; then
    echo "no apt-get to install ${missing[*]}" >&2
    exit 1
fi
if [ "$(id -u)" -eq 0 ]; then
    sudo_cmd=()
fi

echo "Installing: ${missing[*]}"
apt_get=("${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
"${apt_get[@]}" update -q
"${apt_get[@]}" install -y -q --no-install-recommends "${missing[@]}"
