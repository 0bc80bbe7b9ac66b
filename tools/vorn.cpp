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
  for (const SectorTextPiece& piece : SplitSectorText(text)) {
    std::printf("%s\n", std::string(UpToNul(piece.text)).c_str());
    const SectorLine line = CompileSectorLine(piece.text);
    if (line.kind == SectorLineKind::kNoColon) {
      std::fflush(stdout);
      return Fail(kExitInput, std::string(argv[1]) + ": line " + std::to_string(piece.line) +
                                  ": no colon after the sector name");
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
