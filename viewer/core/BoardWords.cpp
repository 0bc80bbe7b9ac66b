// SPDX-License-Identifier: GPL-3.0-or-later
// The board in words: what the status bar, the palette's tooltips and a screen reader say of
// the mode, of a point of the map and of a cell of the palette.
#include "BoardWords.h"

#include "PackageText.h"
#include "Reports.h"
#include "Texts.h"

namespace mw {

std::string PieceName(const Position& position, int pieceType) {
  const std::string name =
      DecodePackageText(position.pieces()[static_cast<uint8_t>(pieceType)].name);
  return name.empty() ? std::string(Tr("Words", "piece %1").arg(pieceType)) : name;
}

std::string ModeInWords(const Position& position, const EditingState& state) {
  switch (state.mouseMode) {
    case ModePlace:
      return Tr("Words", "Placing %1 of %2")
          .arg(PieceName(position, state.selectedPiece))
          .arg(CountryName(position.countryNames(), state.selectedRow + 1));
    case ModeCarry: {
      const Unit& c = position.hand().carried;
      return Tr("Words", "Carrying %1 %2 of %3")
          .arg(c.count)
          .arg(PieceName(position, c.pieceType))
          .arg(CountryName(position.countryNames(), c.country));
    }
    case ModeDelete:
      return Tr("Words", "Removing pieces");
    case ModeLabel:
      return Tr("Words", "Moving income labels");
    case ModeIdle:
      break;
  }
  return {};
}

namespace {

// A sector by name where the table gives one, else by number.
std::string SectorInWords(const Position& position, uint16_t sector) {
  const SectorRecord* record = position.sectorRecord(sector);
  if (record && record->hasName()) return DecodePackageText(record->name());
  return Tr("Words", "area %1").arg(sector);
}

}  // namespace

std::string EditInWords(const Position& position, const UndoEntry& e) {
  const std::string pieces = Tr("Words", "%1 %2 of %3")
                                 .arg(e.count)
                                 .arg(PieceName(position, e.pieceType))
                                 .arg(CountryName(position.countryNames(), e.country));
  switch (e.kind) {
    case UndoKind::kMove:
      return Tr("Words", "%1 moved from %2 to %3")
          .arg(pieces)
          .arg(SectorInWords(position, e.fromSector))
          .arg(SectorInWords(position, e.toSector));
    case UndoKind::kAdd:
      return Tr("Words", "%1 placed in %2").arg(pieces).arg(SectorInWords(position, e.toSector));
    case UndoKind::kRemove:
      return Tr("Words", "%1 removed from %2")
          .arg(pieces)
          .arg(SectorInWords(position, e.fromSector));
    case UndoKind::kNone:
      break;
  }
  return pieces;
}

std::string PointInWords(const Position& position, const SectorIncomes& incomes, QPoint m) {
  std::string text;
  const SectorGrid* grid = position.grid();
  if (grid && m.x() >= 0 && m.y() >= 0 && grid->contains(m.x(), m.y())) {
    const int sector = grid->valueAt(m.x(), m.y());
    const SectorRecord* record = position.sectorRecord(static_cast<uint32_t>(sector));
    if (record && record->hasName()) {
      const SectorIncome& income = incomes[sector];
      const std::string name = DecodePackageText(record->name());
      if (income.owner == 0)
        text = Tr("Words", "%1: held by nobody").arg(name);
      else if (income.value > 0)
        text = Tr("Words", "%1: %2, %3 %4")
                   .arg(name)
                   .arg(CountryName(position.countryNames(), income.owner))
                   .arg(income.value)
                   .arg(std::string(HeadingText(income.heading)));
      else
        text = Tr("Words", "%1: %2, no income")
                   .arg(name)
                   .arg(CountryName(position.countryNames(), income.owner));
    } else if (sector != 0) {
      text = Tr("Words", "Area: %1").arg(sector);
    }
  }
  Unit unit;
  if (position.FindUnitAt(m.x(), m.y(), &unit) && unit.count > 0) {
    const std::string stack = Tr("Words", "%1 %2 of %3")
                                  .arg(unit.count)
                                  .arg(PieceName(position, unit.pieceType))
                                  .arg(CountryName(position.countryNames(), unit.country));
    text += (text.empty() ? "" : " \u2013 ") + stack;
  }
  return text;
}

std::string PaletteCellInWords(const Position& position, const MapState& map, QPoint client) {
  if (client.x() < 0 || client.y() < 0 || map.piecesPicture.isNull()) return {};
  const int column = client.x() / std::max(1, map.pieceCellWidth);
  const int row = client.y() / std::max(1, map.pieceCellHeight);
  if (column > 255) return {};
  const PieceKind& kind = position.pieces()[static_cast<uint8_t>(column)];
  const std::string category = kind.category == 0   ? Tr("Words", "land")
                               : kind.category == 1 ? Tr("Words", "naval")
                                                    : Tr("Words", "neither land nor naval");
  const std::string name = DecodePackageText(kind.name);
  return Tr("Words", "%1, value %2, %3; %4")
      .arg(name.empty() ? std::string(Tr("Words", "(no name)")) : name)
      .arg(kind.value)
      .arg(category)
      .arg(CountryLabel(position.countryNames(), row + 1));
}

}  // namespace mw
