#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads what a screen reader reads: starts the accessibility bus, the program on the Isles of Tess
# (copied with its program into a fresh folder, with a fresh home), and the test of the tree.
# Run on a session bus and a managed screen:
#   dbus-run-session -- with-window-manager.sh accessibility-tree.sh MARROWIND PACKAGE.gim
# The system's Python runs the test: it is the one Debian's pyatspi is installed for.
set -u
program=$1 package=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
cleanup() {
  [ -n "${bus:-}" ] && kill "$bus" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

cp "$program" "$work/Marrowind"
cp -r "$package" "$work/"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_STATE_HOME="$work/home/state"
mkdir -p "$HOME"
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/bus.log" 2>&1 &
bus=$!
# The test starts the program once it listens for what the program says; Qt joins the bus at
# start without waiting for a screen reader to ask for it.
cd "$work" && QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 /usr/bin/python3 "$here/accessibility_tree.py" \
  ./Marrowind 2>"$work/app.log"
status=$?
[ $status -eq 0 ] || { echo "--- program:"; cat "$work/app.log"; }
exit $status
