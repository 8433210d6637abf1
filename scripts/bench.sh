#!/usr/bin/env bash
# Builds and runs every benchmark; each prints its ratios against a baseline of the same run.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

zv_install_missing
zv_build default
for b in "$ZV_ROOT"/build/default/bench/bench-*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" "$@"
done
