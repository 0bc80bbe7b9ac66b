// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <string>

#include "EditingState.h"
#include "MapState.h"
#include "Position.h"
#include "SectorIncome.h"

namespace mw {

// A piece kind's name, "piece N" where the package gives none.
std::string PieceName(const Position& position, int pieceType);
// What the mouse does now: "Placing Inf of Valdria", "Carrying 3 Tank of Sarnesh", "Removing
// pieces", "Moving income labels"; empty when idle.
std::string ModeInWords(const Position& position, const EditingState& state);
// What lies at a map point: the sector, its holder and income, then the stack there ("Lusk:
// Osmark, 3 IPC – 5 Inf of Osmark").
std::string PointInWords(const Position& position, const SectorIncomes& incomes, QPoint map);
// An edit of the history: "3 Inf of Osmark moved from Osmarch to Lusk", "2 Tank of Sarnesh
// placed in Lusk", "1 Inf of Valdria removed from Amberlea".
std::string EditInWords(const Position& position, const UndoEntry& edit);
// What a cell of the palette holds: "Inf, value 3, land; Valdria (country 1)"; empty outside
// the cells.
std::string PaletteCellInWords(const Position& position, const MapState& map, QPoint client);

}  // namespace mw
