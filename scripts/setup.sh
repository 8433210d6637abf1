#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and builds
# the given preset incrementally. Sourced by the README's two commands.
set -euo pipefail

ZV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ZV_PACKAGES=(
  g++ cmake ninja-build pkg-config
  libicu-dev libsqlite3-dev
  libpq-dev postgresql
  qt6-base-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  ccache
)
# Build trees of other checkouts (clean clones, work trees) share compiled objects.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}"
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-10G}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"

zv_install_missing() {
  local missing=()
  for p in "${ZV_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
      missing+=("$p")
    fi
  done
  if ((${#missing[@]})); then
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# zv_build <preset> [targets...]
zv_build() {
  local preset="$1"; shift
  cd "$ZV_ROOT"
  if [ ! -f "build/$preset/CMakeCache.txt" ]; then
    cmake --preset "$preset" >/dev/null
  fi
  cmake --build --preset "$preset" "$@"
}
