#include "SectorText.h"

#include <algorithm>

#include "ScanText.h"

namespace mw {
namespace {

constexpr size_t kNameCopy = 38;

std::string_view CutTrailingSpaces(std::string_view s, size_t keep = 0) {
  while (s.size() > keep && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

std::vector<SectorTextPiece> SplitSectorText(std::string_view text) {
  std::vector<SectorTextPiece> pieces;
  int line = 1, number = 1;
  for (auto& piece : SplitLinePieces(text, kSectorTextPieceLength)) {
    const bool endsLine = !piece.empty() && piece.back() == '\n';
    pieces.push_back({std::move(piece), line, number});
    ++number;
    if (endsLine) {
      ++line;
      number = 1;
    }
  }
  return pieces;
}

SectorLine CompileSectorLine(std::string_view piece) {
  const std::string_view line = UpToNul(piece);
  if (line.empty() || line[0] == '#' || line[0] == ';') return {SectorLineKind::kComment, {}};
  if (std::all_of(line.begin(), line.end(), IsScanBlank)) return {SectorLineKind::kBlank, {}};
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return {SectorLineKind::kNoColon, {}};

  SectorLine out{SectorLineKind::kRecord, {}};
  auto bytes = out.record.bytes();
  const std::string_view name = CutTrailingSpaces(line.substr(0, colon));
  std::string copied(name.substr(0, kNameCopy));
  std::replace(copied.begin(), copied.end(), '\t', ' ');
  copied = std::string(CutTrailingSpaces(copied, 1));
  std::copy(copied.begin(), copied.end(), bytes.begin() + 1);
  bytes[0] = static_cast<uint8_t>(name.size());

  ScanText scan(line.substr(colon + 1));
  for (int i = 1; i <= SectorRecord::kValueCount; ++i) {
    auto v = scan.Hex();
    if (!v) break;
    out.record.setValue(i, static_cast<uint32_t>(*v));
  }
  return out;
}

}  // namespace mw
