// vorn: compiles a sector text (one line per sector: name, colon, nine hexadecimal values) into
// the sector table of a map package, echoing every line it reads.
#include <cstdio>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "ScanText.h"
#include "SectorText.h"
#include "ToolSupport.h"

namespace {

constexpr const char* kUsage = "VORN v0.1\n\nSyntax: vorn <infile> <outfile>\n\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace mw;
  using namespace mw::tool;
  LetOversizedWritesFail();
  if (argc >= 2 && IsHelp(argv[1])) {
    std::fputs(kUsage, stdout);
    return kExitOk;
  }
  if (argc < 3) {
    std::fputs(kUsage, stdout);
    return kExitUsage;
  }
  auto input = ReadFileBytes(argv[1]);
  if (!input) return Fail(kExitInput, input.error());
  const std::string text(input->begin(), input->end());

  std::vector<uint8_t> table;
  bool commentLine = false;
  for (const SectorTextPiece& piece : SplitSectorText(text)) {
    std::printf("%s\n", std::string(UpToNul(piece.text)).c_str());
    // The rest of a long comment line is comment as well.
    if (piece.piece > 1 && commentLine) continue;
    const SectorLine line = CompileSectorLine(piece.text);
    if (piece.piece == 1) commentLine = line.kind == SectorLineKind::kComment;
    if (line.kind == SectorLineKind::kNoColon) {
      std::fflush(stdout);
      const std::string where = std::string(argv[1]) + ": line " + std::to_string(piece.line);
      if (piece.piece > 1)
        return Fail(kExitInput, where + ", piece " + std::to_string(piece.piece) +
                                    ": line longer than 254 characters");
      return Fail(kExitInput, where + ": no colon after the sector name");
    }
    if (line.kind != SectorLineKind::kRecord) continue;
    auto bytes = line.record.bytes();
    table.insert(table.end(), bytes.begin(), bytes.end());
  }
  std::fflush(stdout);
  if (auto outcome = WriteFileAtomically(argv[2], table); !outcome)
    return Fail(kExitOutput, outcome.error());
  return kExitOk;
}
