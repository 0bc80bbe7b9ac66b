// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <string>

#include "MapState.h"
#include "Position.h"
#include "Settings.h"

namespace mw {

// The fonts of the map view: bold, 10 and 12 pixels high.
struct ViewFonts {
  QFont labelFont;
  QFont countFont;
  ViewFonts();
};

// What the map view shows: the map, the position on it, the settings, the current position file
// (for the title) and the fonts.
class MapViewSource {
 public:
  virtual ~MapViewSource() = default;
  virtual const MapState& map() const = 0;
  virtual const Position& position() const = 0;
  virtual const Settings& settings() const = 0;
  virtual const std::string& currentFile() const = 0;
  // What the title shows before the file: the game and the board's turn, when a game is open.
  virtual std::string gameTitle() const { return {}; }
  virtual const ViewFonts& fonts() const = 0;
  // "Pieces Follow &Zoom": pieces and counts drawn at the zoom rather than at one size.
  virtual bool piecesFollowZoom() const { return false; }
};

}  // namespace mw
