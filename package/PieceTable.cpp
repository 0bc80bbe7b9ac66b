// SPDX-License-Identifier: GPL-3.0-or-later
#include "PieceTable.h"

#include <tuple>

#include "FileBytes.h"
#include "ScanText.h"

namespace mw {

namespace {

// Notes what the reader does with one entry of the table.
class PieceNotes {
 public:
  PieceNotes(std::string_view text, ReadNotes* notes) : text_(text), notes_(notes) {}
  void Add(ReadNote::Kind kind, size_t offset, int entry, ReadNote note = {}) {
    if (!notes_) return;
    note.kind = kind;
    std::tie(note.line, note.column) = LineAndColumn(text_, offset);
    note.entry = entry;
    notes_->push_back(std::move(note));
  }
  bool wanted() const { return notes_ != nullptr; }

 private:
  std::string_view text_;
  ReadNotes* notes_;
};

// A number of the table as the table keeps it: its low 8 bits, signed.
int8_t Kept(int64_t n) { return static_cast<int8_t>(static_cast<uint8_t>(n)); }

}  // namespace

PieceTable PieceTable::Parse(std::string_view text, bool* complete, ReadNotes* notes) {
  using K = ReadNote::Kind;
  PieceTable table;
  PieceNotes note(text, notes);
  ScanText scan(text);
  for (int k = 0; k < kKinds; ++k) {
    const size_t nameAt = scan.NextItem();
    auto name = scan.Token();
    if (!name) break;
    PieceKind& kind = table.kinds_[k];
    kind.name = std::string(UpToNul(*name).substr(0, kNameLength));
    note.Add(K::kPieceTaken, nameAt, k, {.text = *name});
    if (name->size() > kNameLength)
      note.Add(K::kPieceNameCut, nameAt, k, {.text = *name, .kept = kind.name});
    for (int8_t* field : {&kind.value, &kind.category}) {
      const char* what = field == &kind.value ? "value" : "category";
      const size_t at = scan.NextItem();
      const auto n = scan.Decimal();
      if (!n) {
        // The item is no number: the entry ends, and the next one starts at it. At the end of
        // the text the entry just ends.
        ScanText peek = scan;
        if (const auto item = note.wanted() ? peek.Token() : std::nullopt)
          note.Add(K::kPieceNoNumber, at, k, {.field = what, .text = *item, .name = *name});
        break;
      }
      *field = Kept(*n);
      const std::string written(text.substr(at, scan.position() - at));
      // The category the viewer uses is the one kept: 257 is kept as 1, naval.
      if (field == &kind.category && *field != 0 && *field != 1)
        note.Add(K::kPieceCategoryNeither, at, k,
                 {.field = what, .text = written, .name = *name, .value = *n});
      // A number is kept as its low 8 bits, signed: where that is another number, say so.
      if (*field != *n)
        note.Add(K::kPieceNumberCut, at, k,
                 {.field = what,
                  .text = written,
                  .name = *name,
                  .value = *n,
                  .kept = std::to_string(*field)});
    }
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
