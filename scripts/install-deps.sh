#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; as a non-root user it only
# prints the exact apt-get line for what is missing.
set -euo pipefail

packages=(cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev libsimdjson-dev libcli11-dev libxml2-utils
          libxml2-dev python3 python3-jsonschema g++-mingw-w64-x86-64 mingw-w64-tools libwine-dev wine wine64
          clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null 2>&1 || {
    apt-get update >/dev/null
    apt-get install -y --no-install-recommends "${missing[@]}"
  }
else
  echo "Missing packages. Install them with:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
