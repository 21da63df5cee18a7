#!/usr/bin/env bash
# Builds the working tree twice, in two directories of different names and depths, and checks
# that both builds give byte-identical executables (both architectures) and release zips: no time
# stamp and no build path may reach them. Then checks what the zips hold.
set -euo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d /tmp/reproducible-XXXXXX)"
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
export SOURCE_DATE_EPOCH="$(git -C "$repo" log -1 --format=%ct 2>/dev/null || echo 315532800)"

copies=("$work/a/src" "$work/second-build/deeper/launchers-source")
# One snapshot of the tracked files and the new ones not ignored (the tree as it would be
# committed), copied again for the second build so that both build the very same sources.
mkdir -p "${copies[0]}"
(cd "$repo" && git ls-files -z --cached --others --exclude-standard |
  xargs -0 -I{} sh -c 'test ! -e "{}" || cp --parents -p "{}" "$0"' "${copies[0]}")
mkdir -p "$(dirname "${copies[1]}")"
cp -a "${copies[0]}" "${copies[1]}"
for copy in "${copies[@]}"; do
  echo "Building in $copy"
  "$copy/tools/package.sh" >"$copy.log" 2>&1 || { tail -40 "$copy.log"; exit 1; }
done

first="${copies[0]}" second="${copies[1]}" passed=0 failed=0
for file in dist/x86/update.exe dist/x86/install.exe dist/x64/update.exe dist/x64/install.exe \
  $(cd "$first" && ls dist/packages/*); do
  problem=""
  cmp -s "$first/$file" "$second/$file" || problem="differs between the two builds"
  grep -qaF -e "$first" -e "$second" "$first/$file" "$second/$file" && problem+=" holds a build path"
  if [ -z "$problem" ]; then
    echo "identical: $file" && passed=$((passed + 1))
  else
    echo "FAIL: $file $problem" && failed=$((failed + 1))
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
python3 "$repo/tests/release/check_package.py" "$first"/dist/packages/*.zip
