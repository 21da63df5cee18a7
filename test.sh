#!/usr/bin/env bash
# Builds what is missing and runs every test: the platform-neutral rules natively under
# AddressSanitizer and UBSan, and the x64 executables end to end under Wine with Xvfb.
set -euo pipefail
cd "$(dirname "$0")"
LAUNCHER_PACKAGES=test ./build.sh
[ -f build/native/build.ninja ] || cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native "$@"
