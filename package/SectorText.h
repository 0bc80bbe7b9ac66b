// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Result.h"
#include "SectorRecord.h"
#include "SectorTable.h"

namespace mw {

// The map author's sector text, compiled by `vorn`: one line per sector, its name, a colon and up
// to nine hexadecimal values. Lines starting with "#" or ";" are comments.
struct SectorTextPiece {
  std::string text;  // as read, line feed included, at most kPieceLength characters
  int line = 0;      // number of the line it came from, from 1
  int piece = 1;     // which piece of that line, from 1: later ones come of long lines
};

inline constexpr size_t kSectorTextPieceLength = 254;

// The pieces in which the text is read: lines, a line longer than 254 characters (its line feed
// included) split into several pieces, each handled as a line of its own, except that the later
// pieces of a comment line are comment too.
std::vector<SectorTextPiece> SplitSectorText(std::string_view text);

enum class SectorLineKind {
  kComment,  // starts with "#", ";" or a zero byte
  kBlank,    // only white space
  kRecord,
  kNoColon,  // neither of the above and no colon: an error
};

struct SectorLine {
  SectorLineKind kind = SectorLineKind::kComment;
  SectorRecord record;  // for kRecord
};

// Compiles one piece: byte 0 the length of the name without trailing blanks, bytes 1 to 38 the
// name with tabs turned into blanks, bytes 40 to 75 the nine values ("%x" each, 0 when missing).
SectorLine CompileSectorLine(std::string_view piece);

// What a sector line holds that CompileSectorLine does not read as its author meant, each at its
// column (from 1): a second colon (a colon in the name: the values are read from the first one
// on), characters after a value or in its place that are not hexadecimal ("6O200" is read as 6,
// and the values after it as 0), and more than nine values. Empty for other lines.
struct SectorLineNote {
  int column = 0;
  std::string text;
};
std::vector<SectorLineNote> SectorLineNotes(std::string_view piece);

// Whether a text is UTF-16 (a byte-order mark of either order, or the zero bytes every other byte
// of a Latin text has): read byte by byte, its lines are no sector lines.
bool LooksLikeUtf16(std::string_view text);

// The sector text with the label points (values 2 and 3) of a table's records in place of its
// own, the text's record line n taking record n's; every other byte stays as it was, comments,
// spacing, case and line ends included, and a line whose label point is the record's is left
// alone. `changed` counts the lines changed. Fails naming the line where a record line's name is
// not its record's (the table is of another text), where a line has no colon or is longer than
// 254 characters, or where the table has fewer records than the text.
Result<std::string> PutLabelPoints(std::string_view text, const SectorTable& table, int* changed);

// A record as `vorn` text that compiles back to the very same 76 bytes: a comment line naming
// its fields in words, then "name: v1 v2 ... v9" with the values in hexadecimal. Where the name
// field holds what no text can give back (a colon, bytes after its end, a length byte smaller
// than the name, a first character that starts a comment), `problem` says so and the text is the
// nearest there is.
std::string SectorRecordText(const SectorRecord& record, int number, std::string* problem);

}  // namespace mw
