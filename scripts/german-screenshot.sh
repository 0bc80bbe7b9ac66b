#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes docs/german.png again: Marrowind on the Isles of Tess under LANG=de_DE.UTF-8 on a virtual
# screen with a window manager, its File menu open.
# Usage: scripts/german-screenshot.sh [BUILD_DIR]   (run from the source folder, as root the first
# time: it installs what it needs)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
source scripts/deps.sh
MARROWIND_PACKAGES+=(scrot netpbm)
install_missing_packages
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/shoot.sh" <<'EOF'
set -eu
export HOME=$1/home XDG_CONFIG_HOME=$1/home/config XDG_STATE_HOME=$1/home/state
LANG=de_DE.UTF-8 LANGUAGE= LC_ALL= LC_MESSAGES= "$2" &
app=$!
main=$(xdotool search --sync --onlyvisible --name "TessMapView" | head -n1)
xdotool windowmove "$main" 0 0
sleep 1
# The File menu ("Datei") opened from the keyboard, as a user opens it.
xdotool windowactivate --sync "$main" key alt+d
sleep 2
# The window with its frame; xwininfo, not xdotool, knows where the frame puts it.
info=$(xwininfo -id "$main")
field() { echo "$info" | sed -n "s/^ *$1: *//p"; }
right=$(($(field "Absolute upper-left X") + $(field Width) + 2))
bottom=$(($(field "Absolute upper-left Y") + $(field Height) + 2))
# scrot, not xwd: xwd reads an open menu's window as black.
scrot -o "$1/screen.png"
pngtopnm "$1/screen.png" |
  pnmcut -left 0 -top 0 -width "$right" -height "$bottom" | pnmtopng >"$1/shot.png"
kill "$app"
EOF
bash tests/app/with-window-manager.sh bash "$work/shoot.sh" "$work" "$PWD/$build/bin/Marrowind"
cp "$work/shot.png" docs/german.png
echo "wrote docs/german.png"
