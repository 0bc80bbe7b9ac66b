#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "Unit.h"

namespace mw {

// Where the units of the list stand: their slots by cells of 64 x 64 map pixels, and by sector,
// country and kind together, so that finding the units near a point, the units a new piece merges
// with in its sector, or the units in a rectangle costs what lies there, not the whole list. The
// position keeps it in step with every change of the list.
class UnitIndex {
 public:
  static constexpr int kCell = 64;

  void Clear();
  void Insert(const Unit& unit, uint32_t slot);
  void Erase(const Unit& unit, uint32_t slot);
  // The unit at slot `from` now stands at slot `to`.
  void Reslot(const Unit& unit, uint32_t from, uint32_t to);
  // The slots of the units whose point lies in [left, right] x [top, bottom], in no order.
  void SlotsIn(int64_t left, int64_t top, int64_t right, int64_t bottom,
               std::vector<uint32_t>& out) const;
  // The slots of the units of one kind and country in a sector, in no order.
  const std::vector<uint32_t>* SlotsOfKind(uint16_t sector, uint8_t country,
                                           uint8_t pieceType) const;

 private:
  static uint32_t CellKey(int64_t cx, int64_t cy) {
    return static_cast<uint32_t>(cx) << 16 | static_cast<uint32_t>(cy);
  }
  static uint32_t KindKey(uint16_t sector, uint8_t country, uint8_t pieceType) {
    return uint32_t{sector} << 16 | uint32_t{country} << 8 | pieceType;
  }
  static uint32_t KindKey(const Unit& u) { return KindKey(u.sector, u.country, u.pieceType); }
  static void Replace(std::vector<uint32_t>& slots, uint32_t from, uint32_t to);
  static void Remove(std::vector<uint32_t>& slots, uint32_t slot);

  std::unordered_map<uint32_t, std::vector<uint32_t>> cells_;
  std::unordered_map<uint32_t, std::vector<uint32_t>> kinds_;
};

}  // namespace mw
