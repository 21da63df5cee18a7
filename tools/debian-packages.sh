#!/usr/bin/env bash
# ensure_packages <kind>: makes sure the Debian packages that <kind> (build or test) needs are
# installed. As root it installs what is missing; otherwise it names exactly what to install.
# Sourced by build.sh and test.sh.

build_packages=(cmake ninja-build g++ mingw-w64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 python3)
test_packages=(googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev wine64 xvfb)

ensure_packages() {
  local wanted=("${build_packages[@]}")
  [ "$1" = test ] && wanted+=("${test_packages[@]}")
  local missing=() package
  for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages. Install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing Debian packages: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
