#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build as a user would, with `cmake --install` into a prefix and as the Debian
# package unpacked into another, and runs every program from there with HOME and the XDG folders
# pointing into the test's own folder.
# Usage: install-test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/*.deb)
dpkg-deb -x "$deb" "$work/deb"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 qt6-qpa-plugins libc6 libsqlite3-0 libqt6charts6; do
  [[ $depends == *"$needed"* ]] || fail "the package does not depend on $needed: $depends"
done

grep -q '^License: GPL-3.0-or-later$' "$work/deb/usr/share/doc/marrowind/copyright" ||
  fail "the package has no copyright file naming its licence"

check_root() {
  local root=$1 home=$work/home-$(basename "$1")
  mkdir -p "$home"
  run() {
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/data" \
      XDG_CONFIG_HOME="$home/config" XDG_STATE_HOME="$home/state" XDG_DATA_DIRS="$root/share" \
      "$@"
  }
  local bin=$root/bin maps=$root/share/marrowind/maps
  for program in Marrowind gimcheck pal2sect rgb2sect vorn sekdump; do
    [ -x "$bin/$program" ] || fail "$root: no $program in bin/"
    run "$bin/$program" --help >"$work/help.txt" || fail "$program --help"
    run "$bin/$program" --version | grep -q '[0-9]' || fail "$program --version names no version"
    local page=$root/share/man/man1/$program.1
    [ -f "$page" ] || fail "$root: no manual page for $program"
    # Every option --help names is in the page, and the page names no option --help lacks.
    local in_help in_page
    in_help=$(grep -o -- '--[a-z]\+' "$work/help.txt" | sort -u | grep -vx -- '--help\|--version' || true)
    in_page=$(grep -o -- '\\-\\-[a-z]\+' "$page" | sed 's/\\-/-/g' | sort -u |
              grep -vx -- '--help\|--version' || true)
    [ "$in_help" = "$in_page" ] || fail "$program: --help names [$in_help], its page [$in_page]"
    if command -v man >/dev/null; then
      man -l --warnings "$page" >/dev/null 2>"$work/man.txt" || fail "$program: man -l failed"
      [ ! -s "$work/man.txt" ] || fail "$program: $(cat "$work/man.txt")"
    fi
  done

  run "$bin/Marrowind" --totals >"$work/totals.txt" || fail "$root: Marrowind --totals"
  head -n1 "$work/totals.txt" | grep -q $'^Country\tIPC\tConvoy\tOil\tSum\tLand\tNaval$' ||
    fail "$root: --totals printed $(head -n2 "$work/totals.txt")"
  [ "$(wc -l <"$work/totals.txt")" -eq 9 ] || fail "$root: --totals of the Isles of Tess"
  run "$bin/Marrowind" --render "$work/map.png" || fail "$root: Marrowind --render"
  [ "$(head -c 4 "$work/map.png" | tail -c 3)" = PNG ] || fail "$root: --render wrote no PNG"
  run "$bin/gimcheck" "$maps/Tess.gim" >/dev/null || fail "$root: gimcheck found errors"
  run "$bin/gimcheck" "$maps/Rift.gim" >/dev/null || fail "$root: gimcheck found errors"
  run "$bin/sekdump" "$maps/Tess.gim/SektorInfo.sek" >"$work/dump.txt" || fail "$root: sekdump"
  grep -q '^Valdhaven' "$work/dump.txt" || fail "$root: sekdump printed no Valdhaven"
  run "$bin/sekdump" --text "$maps/Tess.gim/SektorInfo.sek" >"$work/sectors.txt"
  (cd "$work" && run "$bin/vorn" sectors.txt back.sek >/dev/null) || fail "$root: vorn"
  cmp -s "$work/back.sek" "$maps/Tess.gim/SektorInfo.sek" || fail "$root: sekdump --text | vorn"
  run "$bin/rgb2sect" "$maps/Tess.gim/Map.bmp" "$work/grid.map" >/dev/null ||
    fail "$root: rgb2sect"
  [ -s "$work/grid.map" ] || fail "$root: rgb2sect wrote no grid"
  if run "$bin/pal2sect" "$maps/Tess.gim/Map.bmp" "$work/p.map" >/dev/null 2>"$work/err.txt"; then
    fail "$root: pal2sect took a 24-bit bitmap"
  fi
  grep -q 'pal2sect takes 8-bit palette bitmaps' "$work/err.txt" || fail "$root: pal2sect: $(cat "$work/err.txt")"
  # Nothing was written beside the programs or into the installed maps.
  [ -z "$(find "$root" -newer "$work/totals.txt" -type f)" ] || fail "$root: files written: $(find "$root" -newer "$work/totals.txt" -type f)"

  local id=net.marrowind.Marrowind
  grep -q "^Exec=Marrowind" "$root/share/applications/$id.desktop" || fail "$root: desktop entry"
  grep -q "^Icon=$id$" "$root/share/applications/$id.desktop" || fail "$root: desktop icon"
  for size in 16 24 32 48 64 128 256; do
    [ -s "$root/share/icons/hicolor/${size}x${size}/apps/$id.png" ] || fail "$root: no ${size}px icon"
  done
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --pedantic "$root/share/metainfo/$id.metainfo.xml" \
      >"$work/as.txt" 2>&1 || fail "$root: $(cat "$work/as.txt")"
  fi
  desktop-file-validate "$root/share/applications/$id.desktop" >"$work/df.txt" 2>&1 ||
    fail "$root: $(cat "$work/df.txt")"
  grep -q "^StartupWMClass=Marrowind$" "$root/share/applications/$id.desktop" ||
    fail "$root: the desktop entry names no window class"
  # A file manager knows positions and games by their content, whatever their names.
  local mime=$work/mime-$(basename "$root")
  mkdir -p "$mime/share/mime/packages"
  cp "$root/share/mime/packages/$id.xml" "$mime/share/mime/packages/"
  update-mime-database "$mime/share/mime"
  cp "$maps/Tess.gim/Start.QPX" "$mime/start.QPX"
  cp "$maps/Tess.gim/Start.QPX" "$mime/position-without-its-name"
  printf 'dialog %s\ncommand 142\n' "$mime/war.mwgame" >"$mime/record.txt"
  run "$bin/Marrowind" --replay "$mime/record.txt" >/dev/null || fail "$root: a game recorded"
  cp "$mime/war.mwgame" "$mime/game-without-its-name"
  for pair in start.QPX:position position-without-its-name:position war.mwgame:game \
    game-without-its-name:game; do
    local type
    type=$(env -i PATH=/usr/bin:/bin HOME="$mime" XDG_DATA_DIRS="$mime/share:/usr/share" \
      xdg-mime query filetype "$mime/${pair%%:*}")
    [ "$type" = "application/x-marrowind-${pair##*:}" ] || fail "$root: ${pair%%:*} is $type"
  done
}

# A first turn of a player who is not root, on the installed programs: a stack moved, a piece
# placed, the turn recorded into a new game. Everything lands in the player's home, nothing in
# the installation.
first_turn() {
  local root=$1 player
  player=$(mktemp -d)
  chmod 755 "$work" "$player"
  chown 65534:65534 "$player"
  cat >"$player/turn.txt" <<SCRIPT
press left 127 301 shift
move 232 300
release left 232 300
palette 7 5
press left 240 505
release left 240 505
key Escape
dialog $player/war.mwgame
label The first turn
command 142
SCRIPT
  touch "$work/before-first-turn"
  setpriv --reuid=65534 --regid=65534 --clear-groups env -i PATH="$root/bin:/usr/bin:/bin" \
    HOME="$player" XDG_DATA_DIRS="$root/share" QT_QPA_PLATFORM=offscreen \
    Marrowind --replay "$player/turn.txt" >"$player/out.txt" 2>&1 ||
    fail "$root: a first turn as a player: $(cat "$player/out.txt")"
  setpriv --reuid=65534 --regid=65534 --clear-groups env -i PATH="$root/bin:/usr/bin:/bin" \
    HOME="$player" Marrowind --turns "$player/war.mwgame" >"$player/turns.txt" ||
    fail "$root: the first turn's game cannot be read"
  grep -q $'^1\tThe first turn\t' "$player/turns.txt" || fail "$root: $(cat "$player/turns.txt")"
  [ -z "$(find "$root" -newer "$work/before-first-turn" -type f)" ] ||
    fail "$root: a player wrote into the installation"
  # No program prints a menu's letter mark.
  for program in Marrowind gimcheck pal2sect rgb2sect vorn sekdump; do
    ! "$root/bin/$program" --help 2>&1 | grep -q '&[A-Za-z]' || fail "$program --help prints an &"
  done
  rm -rf "$player"
}

check_root "$work/prefix"
check_root "$work/deb/usr"
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
  first_turn "$work/prefix"
fi
echo "installed and packaged: every program runs from $work/prefix and from the package"
