#!/bin/sh
# Installs the Debian packages of scripts/debian-packages.txt that are missing. Idempotent: when
# everything is there it changes nothing and needs no network.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
wanted=$(grep -v '^#' "$here/debian-packages.txt" | grep -v '^$')
missing=""
for p in $wanted; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing="$missing $p"
    fi
done
if [ -z "$missing" ]; then
    echo "install-packages: all Debian packages present"
    exit 0
fi
echo "install-packages: installing$missing"
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd=sudo
$sudo_cmd apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq $missing
