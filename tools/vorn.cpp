// SPDX-License-Identifier: GPL-3.0-or-later
// vorn: compiles a sector text (one line per sector: name, colon, nine hexadecimal values) into
// the sector table of a map package, echoing every line it reads.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "PackageText.h"
#include "ScanText.h"
#include "SectorTable.h"
#include "SectorText.h"
#include "ToolSupport.h"

namespace {

constexpr const char* kUsage = "VORN v0.1\n\nSyntax: vorn <infile> <outfile>\n\n";

constexpr const char* kFormat =
    "Options:\n"
    "  -          as <infile>: read the sector text from standard input, as in\n"
    "             sekdump --text SektorInfo.sek | vorn - SektorInfo.sek\n"
    "  --utf8     the names are written in UTF-8: store them in Windows-1252, as packages do\n"
    "  --labels <table> <textfile>\n"
    "             write the label points of a table (SektorInfo.new, which Marrowind's key S\n"
    "             exports after label points were moved on the map) into the sector text in\n"
    "             place, every other byte of it kept: comments, spacing, line order\n"
    "  --strict   refuse the text (exit 2, nothing written) where a line holds what is not read\n"
    "             as meant: a colon in a name, a value that is not hexadecimal, more than nine\n"
    "             values, or a UTF-16 text; without it these are warnings\n"
    "\n"
    "The sector text has a line per sector, sector 1 first; a line starting with # or ; is a\n"
    "comment. A sector's line is its name (at most 38 characters are kept), a colon, then up\n"
    "to nine hexadecimal values separated by blanks:\n"
    "  1 income << 16 | first owner << 8        2 label x    3 label y (map pixels)\n"
    "  4 dependency sector << 16 | convoy << 8 | flags (1 oil, 2 income by owner,\n"
    "    4 dependency by owner)\n"
    "  5, 6 dependency sectors of owners 1-4 and 5-8, a byte each\n"
    "  7 income of owners 1-8, a hexadecimal digit each from the lowest\n"
    "  8 piece kind a holder needs in the sector      9 not used\n"
    "Names are Windows-1252 text. Every line read is echoed to standard output.\n"
    "For example:  Ashfall Mines : 40400 262 17a 0 0 0 0 6\n";

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t kKeptName = 38;  // the characters of a name that a record holds

}  // namespace

int main(int argc, char** argv) {
  using namespace mw;
  using namespace mw::tool;
  LetOversizedWritesFail();
  std::vector<std::string> args(argv + 1, argv + argc);
  if (AnswersVersion(argc, argv, "vorn")) return kExitOk;
  if (!args.empty() && IsHelp(args[0])) {
    std::fputs(kUsage, stdout);
    std::fputs(kFormat, stdout);
    return kExitOk;
  }
  if (!args.empty() && args[0] == "--labels") {
    if (args.size() != 3)
      return Fail(kExitUsage, "--labels needs a table and the sector text to write into");
    auto table = ReadSectorTable(args[1]);
    if (!table) return Fail(kExitInput, table.error());
    auto text = ReadFileBytes(args[2]);
    if (!text) return Fail(kExitInput, text.error());
    int changed = 0;
    auto put = PutLabelPoints(std::string(text->begin(), text->end()), *table, &changed);
    if (!put) return Fail(kExitInput, args[2] + ": " + put.error());
    if (changed > 0) {
      const std::vector<uint8_t> bytes(put->begin(), put->end());
      if (auto written = WriteFileAtomically(args[2], bytes); !written)
        return Fail(kExitOutput, written.error());
    }
    std::printf("vorn: %d label point%s written into %s\n", changed, changed == 1 ? "" : "s",
                args[2].c_str());
    return kExitOk;
  }
  bool utf8 = false, strict = false;
  while (!args.empty() && (args[0] == "--utf8" || args[0] == "--strict")) {
    (args[0] == "--utf8" ? utf8 : strict) = true;
    args.erase(args.begin());
  }
  if (args.size() < 2) {
    std::fputs(kUsage, stdout);
    return kExitUsage;
  }
  const std::string name = args[0] == "-" ? "standard input" : args[0];
  std::string text;
  if (args[0] == "-") {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  } else {
    auto input = ReadFileBytes(args[0]);
    if (!input) return Fail(kExitInput, input.error());
    text.assign(input->begin(), input->end());
  }
  // An editor's mark of UTF-8 would make the first line a record: every sector would move by one.
  if (text.starts_with(kByteOrderMark)) {
    text.erase(0, kByteOrderMark.size());
    std::fprintf(stderr, "vorn: %s: skipped the UTF-8 byte-order mark at its start\n",
                 name.c_str());
  }

  // A text saved as UTF-16 reads as no sector lines at all.
  if (LooksLikeUtf16(text)) {
    const std::string what = name + ": the text is UTF-16; save it as Windows-1252 or UTF-8";
    if (strict) return Fail(kExitInput, what);
    std::fprintf(stderr, "vorn: warning: %s\n", what.c_str());
  }
  std::vector<uint8_t> table;
  bool commentLine = false;
  for (SectorTextPiece& piece : SplitSectorText(text)) {
    std::printf("%s\n", std::string(UpToNul(piece.text)).c_str());
    // The rest of a long comment line is comment as well.
    if (piece.piece > 1 && commentLine) continue;
    const std::string where = name + ": line " + std::to_string(piece.line);
    const size_t colon = piece.text.find(':');
    const std::string sectorName = piece.text.substr(0, colon);
    SectorLine line = CompileSectorLine(piece.text);
    if (piece.piece == 1) commentLine = line.kind == SectorLineKind::kComment;
    if (line.kind == SectorLineKind::kRecord && LooksLikeUtf8(sectorName)) {
      size_t bad = 0;
      const auto converted = EncodePackageText(sectorName, &bad);
      if (utf8 && !converted) {
        std::fflush(stdout);
        return Fail(kExitInput, where + ": the name holds a character Windows-1252 lacks, at \"" +
                                    sectorName.substr(bad) + "\"");
      }
      if (utf8) {
        line = CompileSectorLine(*converted + piece.text.substr(colon));
      } else {
        std::fflush(stdout);
        std::fprintf(stderr,
                     "vorn: warning: %s: the name \"%s\" looks like UTF-8, but sector names are "
                     "Windows-1252 (it would show garbled); vorn --utf8 converts it\n",
                     where.c_str(), sectorName.c_str());
      }
    }
    if (line.kind == SectorLineKind::kNoColon) {
      std::fflush(stdout);
      if (piece.piece > 1)
        return Fail(kExitInput, where + ", piece " + std::to_string(piece.piece) +
                                    ": line longer than 254 characters");
      return Fail(kExitInput, where + ": no colon after the sector name");
    }
    if (line.kind != SectorLineKind::kRecord) continue;
    // What the line holds that is not read as meant: said, or with --strict refused.
    for (const SectorLineNote& note : SectorLineNotes(piece.text)) {
      std::fflush(stdout);
      const std::string what = where + ", column " + std::to_string(note.column) + ": " + note.text;
      if (strict) return Fail(kExitInput, what);
      std::fprintf(stderr, "vorn: warning: %s\n", what.c_str());
    }
    if (line.record.nameLength() > kKeptName) {
      std::fflush(stdout);
      std::fprintf(stderr,
                   "vorn: warning: %s: the name is cut to its first %zu characters: \"%s\"\n",
                   where.c_str(), kKeptName, line.record.name().c_str());
    }
    auto bytes = line.record.bytes();
    table.insert(table.end(), bytes.begin(), bytes.end());
  }
  std::fflush(stdout);
  if (auto outcome = WriteFileAtomically(args[1], table); !outcome)
    return Fail(kExitOutput, outcome.error());
  return kExitOk;
}
