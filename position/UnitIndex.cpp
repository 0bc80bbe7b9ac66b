#include "UnitIndex.h"

#include <algorithm>

namespace mw {

void UnitIndex::Clear() {
  cells_.clear();
  kinds_.clear();
}

void UnitIndex::Insert(const Unit& unit, uint32_t slot) {
  cells_[CellKey(unit.x / kCell, unit.y / kCell)].push_back(slot);
  kinds_[KindKey(unit)].push_back(slot);
}

void UnitIndex::Remove(std::vector<uint32_t>& slots, uint32_t slot) {
  auto it = std::find(slots.begin(), slots.end(), slot);
  if (it == slots.end()) return;
  *it = slots.back();
  slots.pop_back();
}

void UnitIndex::Replace(std::vector<uint32_t>& slots, uint32_t from, uint32_t to) {
  std::replace(slots.begin(), slots.end(), from, to);
}

void UnitIndex::Erase(const Unit& unit, uint32_t slot) {
  Remove(cells_[CellKey(unit.x / kCell, unit.y / kCell)], slot);
  Remove(kinds_[KindKey(unit)], slot);
}

void UnitIndex::Reslot(const Unit& unit, uint32_t from, uint32_t to) {
  Replace(cells_[CellKey(unit.x / kCell, unit.y / kCell)], from, to);
  Replace(kinds_[KindKey(unit)], from, to);
}

void UnitIndex::SlotsIn(int64_t left, int64_t top, int64_t right, int64_t bottom,
                        std::vector<uint32_t>& out) const {
  // Unit points are 16-bit numbers: cells 0 to 1023 each way.
  const int64_t cx0 = std::clamp<int64_t>(left, 0, 65535) / kCell;
  const int64_t cx1 = std::clamp<int64_t>(right, 0, 65535) / kCell;
  const int64_t cy0 = std::clamp<int64_t>(top, 0, 65535) / kCell;
  const int64_t cy1 = std::clamp<int64_t>(bottom, 0, 65535) / kCell;
  if (right < 0 || bottom < 0 || left > 65535 || top > 65535) return;
  const int64_t cells = (cx1 - cx0 + 1) * (cy1 - cy0 + 1);
  if (cells > static_cast<int64_t>(cells_.size())) {
    // A rectangle larger than the cells in use: go through those instead.
    for (const auto& [key, slots] : cells_) {
      const int64_t cx = key >> 16, cy = key & 0xFFFF;
      if (cx >= cx0 && cx <= cx1 && cy >= cy0 && cy <= cy1)
        out.insert(out.end(), slots.begin(), slots.end());
    }
    return;
  }
  for (int64_t cy = cy0; cy <= cy1; ++cy)
    for (int64_t cx = cx0; cx <= cx1; ++cx) {
      auto it = cells_.find(CellKey(cx, cy));
      if (it != cells_.end()) out.insert(out.end(), it->second.begin(), it->second.end());
    }
}

const std::vector<uint32_t>* UnitIndex::SlotsOfKind(uint16_t sector, uint8_t country,
                                                    uint8_t pieceType) const {
  auto it = kinds_.find(KindKey(sector, country, pieceType));
  return it == kinds_.end() ? nullptr : &it->second;
}

}  // namespace mw
