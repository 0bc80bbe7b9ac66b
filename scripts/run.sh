#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Marrowind with its bundled maps and starts it on the default
# map. Where there is no display it says so and renders the map to a PNG instead.
# Usage: bash scripts/run.sh [position file]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing_packages

build=build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target Marrowind pal2sect rgb2sect vorn sekdump gimcheck
echo "The map tools (pal2sect, rgb2sect, vorn, sekdump, gimcheck) are in $PWD/$build/bin:"
echo "  export PATH=\"$PWD/$build/bin:\$PATH\""

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  picture="$PWD/$build/Tess.png"
  echo "There is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set)."
  "$build/bin/Marrowind" --render "$picture" --ipc "$@"
  echo "Rendered the map instead: $picture"
  exit 0
fi
exec "$build/bin/Marrowind" "$@"
