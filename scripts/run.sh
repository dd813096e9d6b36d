#!/usr/bin/env bash
# Installs what is missing, builds Bindwise and opens the bundled example titration.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${BINDWISE_BUILD_PACKAGES[@]}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBINDWISE_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target bindwise bindwise-cli
example="${1:-examples/two-sites-chelator.bwd}"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/app/bindwise ]; then
  exec build/app/bindwise "$example"
fi
echo "No display found: showing the example document with the command-line tool instead."
exec build/cli/bindwise-cli show "$example"
