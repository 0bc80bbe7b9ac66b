# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts: installs the Debian packages that the build needs and that are missing.
MARROWIND_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev
                    libbenchmark-dev qt6-base-dev fonts-dejavu-core xvfb openbox x11-utils xdotool
                    clang-format appstream dpkg-dev man-db libpng-dev libsqlite3-dev
                    qt6-charts-dev at-spi2-core python3-pyatspi dbus-daemon
                    qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
                    desktop-file-utils xdg-utils libfile-mimeinfo-perl shared-mime-info time)

install_missing_packages() {
  local missing=()
  for p in "${MARROWIND_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  fi
}
