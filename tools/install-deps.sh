#!/bin/bash
# Installs what building and testing Orqex needs on Debian 12, when it is missing.
set -euo pipefail
packages=(cmake ninja-build g++ g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          g++-mingw-w64-i686-posix binutils-mingw-w64-i686
          wine wine64 wine64-tools googletest clang-14 libclang-rt-14-dev locales)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The double-byte test runs a process under code page 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
# The editor extension's test and packaging run on Node.js with the packages pinned in
# editors/vscode/package-lock.json (install scripts are not needed, so none run).
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "Installing: nodejs npm"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends nodejs npm >/dev/null
fi
vscode="$(dirname "$0")/../editors/vscode"
if [ ! -f "$vscode/node_modules/.package-lock.json" ] ||
   [ "$vscode/package-lock.json" -nt "$vscode/node_modules/.package-lock.json" ]; then
  (cd "$vscode" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
fi
