// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Position.h"
#include "PositionCompare.h"

namespace mw {

// A text as one field of a tab-separated line: its tabs and line ends become blanks.
std::string TabField(std::string text);
// A text with its control bytes (tab and line ends among them) written as \xHH, so that a
// tab-separated line keeps its fields and a terminal shows what the text holds.
std::string EscapeControls(std::string_view text);

// The text of the unit list: for each country 1 to 15 a header, then its sectors in rising
// number, each with a header line and one line per unit ("count name") in list order. Lines end
// in "\r\n"; names are decoded into UTF-8. Units of country 0 or above 15, and of sector 0 or
// 512 and above, are not listed.
std::string BuildUnitList(const Position& position);

// The country totals as tab-separated text: a header line, then one line per country with the
// figures the info view shows (countries 1 to 8 always, higher ones when any figure is not 0).
std::string TotalsReport(const Position& position);

// One sector a country holds, as the income breakdown shows it.
struct IncomeLine {
  int country = 0;
  int sector = 0;
  std::string name;  // UTF-8
  int64_t ipc = 0, convoy = 0, oil = 0;
  std::string reason;  // empty where the sector yields, else why it does not, in words
};

// Every sector held, country by country (1 and up) and in rising sector number within each;
// for every country the columns sum to its income totals.
std::vector<IncomeLine> IncomeBreakdown(const Position& position);
// The sectors of one country only.
std::vector<IncomeLine> IncomeBreakdown(const Position& position, int country);
// The breakdown as tab-separated text under the header
// "Country\tSector\tName\tIPC\tConvoy\tOil\tReason".
std::string IncomeReport(const Position& position);

// What changed between two boards as tab-separated text under the header
// "Change\tSector\tName\tCountry\tPiece\tBefore\tAfter": "pieces", "holder" and "totals" lines
// in the order of the differences. Sector and piece names (UTF-8) are those of `names`, a
// position of the boards' map.
std::string DifferenceReport(const std::vector<BoardDifference>& differences,
                             const Position& names);

// One line of the Changes window: a difference in words ("Valdhaven: 3 Inf of country 2 → 5",
// "Greyspire: held by country 4 → country 6", "country 4 IPC 21 → 19", a country the map names
// by its name: "4 Inf of Sarnesh") and the sector it is about (0 for a total).
struct ChangeLine {
  std::string text;  // UTF-8
  int sector = 0;
  bool operator==(const ChangeLine&) const = default;
};
std::vector<ChangeLine> DifferenceLines(const std::vector<BoardDifference>& differences,
                                        const Position& names);

// A move of a turn as the fields of a line of --moves: Action ("place", "remove", "move"),
// Count, Piece, Country, From, To (a sector by name, else "Sector N", else the map point
// "x,y" where it lies in no sector; empty where the action has none), names in UTF-8.
std::vector<std::string> MoveFields(const Position& names, const UndoEntry& move);
// The same in words, for the History window: "3 Inf of Osmark: Osmarch → Lusk".
std::string MoveInWords(const Position& names, const UndoEntry& move);

// The heading a sector's income counts under, as the InfoView names it: "IPC", "Convoy", "Oil".
const char* HeadingText(IncomeHeading heading);

// The text with the carriage return of every "\r\n" taken out, for printing on a console.
std::string WithoutCarriageReturns(const std::string& text);

}  // namespace mw
