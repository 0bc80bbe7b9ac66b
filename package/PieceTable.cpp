#include "PieceTable.h"

#include "FileBytes.h"
#include "ScanText.h"

namespace mw {

PieceTable PieceTable::Parse(std::string_view text, bool* complete) {
  PieceTable table;
  ScanText scan(text);
  for (int k = 0; k < kKinds; ++k) {
    auto name = scan.Token();
    if (!name) break;
    table.kinds_[k].name = std::string(UpToNul(*name).substr(0, kNameLength));
    auto value = scan.Decimal();
    if (!value) continue;
    table.kinds_[k].value = static_cast<int8_t>(static_cast<uint8_t>(*value));
    auto category = scan.Decimal();
    if (!category) continue;
    table.kinds_[k].category = static_cast<int8_t>(static_cast<uint8_t>(*category));
  }
  if (complete) *complete = !scan.reachedEnd();
  return table;
}

Result<PieceTable> ReadPieceTable(const std::filesystem::path& path) {
  auto bytes = ReadFileUntil(path, [](std::span<const uint8_t> b) {
    bool complete = false;
    PieceTable::Parse(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()),
                      &complete);
    return complete;
  });
  if (!bytes) return Result<PieceTable>::Fail(bytes.error());
  const auto& b = bytes.value();
  return Result<PieceTable>::Ok(
      PieceTable::Parse(std::string_view(reinterpret_cast<const char*>(b.data()), b.size())));
}

}  // namespace mw
