#!/usr/bin/env bash
# Installs what is missing, builds and runs the main application. With no display the
# application renders its window off-screen to a PNG and prints where.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

zv_install_missing
zv_build default --target zovrin
exec "$ZV_ROOT/build/default/apps/zovrin/zovrin" "$@"
