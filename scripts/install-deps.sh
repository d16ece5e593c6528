#!/usr/bin/env bash
# Installs the Debian packages of deps/debian-packages.txt that are missing.
# As root it runs apt-get itself; as anyone else it prints the command to run.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
list="$here/deps/debian-packages.txt"

missing=()
while read -r pkg; do
  pkg=${pkg%%#*}
  pkg=$(echo "$pkg" | tr -d '[:space:]')
  [ -n "$pkg" ] || continue
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$pkg")
done <"$list"

ensure_locale() {
  # The decimal-comma tests need a German locale and fail without it; make it
  # once from the sources of the locales package (root only).
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$' && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "The tests need the locale de_DE.UTF-8; make it as root:" >&2
    echo "  sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8" >&2
    return 0
  fi
  if [ -f /etc/locale.gen ]; then
    sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  fi
  localedef -i de_DE -f UTF-8 de_DE.UTF-8
}

if [ ${#missing[@]} -eq 0 ]; then
  ensure_locale
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Cobaltquarry needs these Debian packages, which are not installed:" >&2
  echo "  ${missing[*]}" >&2
  echo "Install them as root, then run make again:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "Installing missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q "${missing[@]}"

ensure_locale
