// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mw {

// What a reader of a package text took, took as it is though it was not meant so, or passed
// over, and where: the checker explains these to the map's author in words, so that the reader
// and the checker never disagree about a file.
struct ReadNote {
  enum class Kind {
    // ToolPieces.txt
    kPieceTaken,      // an entry read: `entry`, its name as written in `text`
    kPieceNameCut,    // a name longer than 4 characters: `kept` of it stays
    kPieceNoNumber,   // `field` of the entry is `text`, no number: the next entry starts there
    kPieceNumberCut,  // `field` `value` does not fit 8 bits: `kept` stays
    kPieceCategoryNeither,  // category `value` counts for neither Land nor Naval
    // MapInfo.txt
    kTitleMissing,          // no title on line 1
    kAllianceTaken,         // alliance row `entry` taken from this line
    kAllianceIndented,      // an "allied" line after blanks: not read
    kAllianceBeyondRows,    // a ninth "allied" line: not read
    kAllianceNoCountry,     // no number read of what is written: a row of no country
    kAllianceNumbersCut,    // only `value` of the numbers written are read
    kAllianceCountryTwice,  // country `value` twice in its row: allied with every country
    kAllianceCountryAgain,  // country `value` allied before, on `earlierLine`: not for it here
    kCountryNamed,          // country `value` named `text`
    kCountryIndented,       // a "country" line after blanks: not read
    kCountryOutOfRange,     // a "country" line of no country from 1 to 8
    kCountryNoName,         // country `value` given no name
    kCountryAgain,          // country `value` named again; the name on `earlierLine` counts
  };
  Kind kind = Kind::kPieceTaken;
  int line = 0;         // from 1
  int column = 0;       // from 1, where the item begins
  int entry = -1;       // the piece kind or alliance row
  std::string field{};  // "value" or "category"
  std::string text{};   // the item, name or line as written
  std::string name{};   // the name of the piece the item belongs to
  int64_t value = 0;
  std::string kept{};  // what the reader keeps, as text
  int earlierLine = 0;
};
using ReadNotes = std::vector<ReadNote>;

// The line and column (both from 1) of a byte offset of a text.
inline std::pair<int, int> LineAndColumn(std::string_view text, size_t offset) {
  int line = 1, column = 1;
  for (size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return {line, column};
}

}  // namespace mw
