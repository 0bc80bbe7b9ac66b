#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command on a virtual 1920 x 1080 screen managed by openbox, as a user's desktop would
# run the program: window placement and size go wrong only under a window manager.
# Usage: with-window-manager.sh COMMAND [ARG ...]
set -u
work=$(mktemp -d)
cleanup() {
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
  [ -n "${server:-}" ] && kill "$server" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The server picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
# Wait until the server answers, then until openbox manages the screen (trying it up to 3 times).
for _ in $(seq 100); do xprop -root >/dev/null 2>&1 && break; sleep 0.1; done
managed() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
for _ in 1 2 3; do
  HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
  wm=$!
  for _ in $(seq 100); do managed && break; kill -0 "$wm" 2>/dev/null || break; sleep 0.1; done
  managed && break
done
managed || { echo "openbox did not start:"; cat "$work/openbox.log"; exit 1; }

QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work" "$@"
