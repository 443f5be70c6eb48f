#!/usr/bin/env bash
# Installs the Debian packages of a list (scripts/packages.txt unless another
# is given) that are missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
list=${1:-$here/packages.txt}

missing=()
while read -r package; do
  [[ -z "$package" || "$package" == \#* ]] && continue
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done < "$list"

[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
echo "Installing: ${missing[*]}"
# A package of another architecture (name:arch) needs that architecture first.
for package in "${missing[@]}"; do
  [[ "$package" == *:* ]] || continue
  dpkg --print-foreign-architectures | grep -qx "${package#*:}" ||
    $sudo dpkg --add-architecture "${package#*:}"
done
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends --no-remove \
  "${missing[@]}"
