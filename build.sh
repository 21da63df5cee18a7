#!/usr/bin/env bash
# Builds the launchers: dist/x86/{update,install}.exe (the shipped pair) and dist/x64/.
# On a fresh Debian machine it first installs the packages it needs (as root) or names them.
set -euo pipefail
cd "$(dirname "$0")"
source tools/debian-packages.sh
ensure_packages "${LAUNCHER_PACKAGES:-build}"

for arch in x86 x64; do
  [ -f "build/$arch/build.ninja" ] || cmake --preset "$arch" >/dev/null
  cmake --build --preset "$arch"
  mkdir -p "dist/$arch"
  for exe in update install; do
    cmp -s "build/$arch/$exe/$exe.exe" "dist/$arch/$exe.exe" ||
      cp "build/$arch/$exe/$exe.exe" "dist/$arch/$exe.exe"
  done
done
echo "Built: dist/x86/update.exe dist/x86/install.exe dist/x64/update.exe dist/x64/install.exe"
