// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <vector>

#include "MapViewSource.h"

namespace mw {

enum class MouseButton { kLeft, kMiddle, kRight };

// What start-up sets once for the whole run: where the program lives and the fonts of the map.
// The settings, which the user changes all session, are kept apart.
struct StartupState {
  std::filesystem::path programDir;
  std::vector<std::filesystem::path> mapFolders;  // where packages are looked for, in order
  ViewFonts fonts;
};

}  // namespace mw
