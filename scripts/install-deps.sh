#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and benchmarks with.
# Runs apt-get (through sudo when not root) only when a package is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  dpkg-dev file
  libsqlcipher-dev sqlcipher sqlite3
  qt6-base-dev
  libcli11-dev libfmt-dev
  libgtest-dev libgmock-dev
  clang-format
  fonts-dejavu-core fonts-crosextra-carlito
  libpq-dev postgresql postgresql-client pgloader
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"
