#!/usr/bin/env bash
# Builds both architectures and makes the release packages:
#   dist/packages/launchers-<version>-<arch>.zip       update.exe, install.exe, README.txt, SHA256SUMS
#   dist/packages/launchers-<version>-<arch>.zip.sha256
# The zips are reproducible: entries in name order, fixed permissions, and every time stamp set to
# SOURCE_DATE_EPOCH (default: the time of the last commit), so that one commit gives one zip.
set -euo pipefail
cd "$(dirname "$0")/.."
build_log=$(mktemp)
trap 'rm -f "$build_log"' EXIT
./build.sh >"$build_log" 2>&1 || { cat "$build_log"; exit 1; }

version=$(sed -n 's/^project(Launchers VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
: "${SOURCE_DATE_EPOCH:=$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}"
export SOURCE_DATE_EPOCH
mkdir -p dist/packages
for arch in x86 x64; do
  name="launchers-$version-$arch"
  layout="build/$arch/release/$name"
  rm -rf "$layout"
  cmake --install "build/$arch" --prefix "$layout" >/dev/null
  python3 - "$layout" "dist/packages/$name.zip" <<'PY'
import os, sys, time, zipfile
from pathlib import Path
layout, target = Path(sys.argv[1]), Path(sys.argv[2])
# Zip time stamps are local DOS times from 1980 on; the UTC time of the epoch stands for itself.
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for path in sorted(layout.iterdir()):
        entry = zipfile.ZipInfo(f"{layout.name}/{path.name}", date_time=stamp)
        entry.create_system = 3  # Unix, so that the permissions below are kept
        mode = 0o755 if path.suffix == ".exe" else 0o644
        entry.external_attr = (0o100000 | mode) << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        archive.writestr(entry, path.read_bytes(), compresslevel=9)
PY
  (cd dist/packages && sha256sum "$name.zip" >"$name.zip.sha256")
  echo "Packaged: dist/packages/$name.zip"
done
