#!/bin/bash
# Packages the editor extension in editors/vscode as build/Orqex-orq-<version>.vsix and prints
# its path. The version is the project's (the reference target keeps package.json in step).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
version=$(sed -nE 's/^project\(Orqex VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
manifest=$(sed -nE 's/^  "version": "([^"]+)".*/\1/p' editors/vscode/package.json)
if [ "$version" != "$manifest" ]; then
  echo "editors/vscode/package.json has version $manifest, the project $version;" \
       "remake it with: cmake --build --preset native --target reference" >&2
  exit 1
fi
cd editors/vscode
[ -x node_modules/.bin/vsce ] || npm ci --ignore-scripts --no-audit --no-fund
mkdir -p "$root/build"
out="$root/build/Orqex-orq-$version.vsix"
node_modules/.bin/vsce package --no-dependencies --allow-missing-repository --out "$out" >&2
echo "$out"
