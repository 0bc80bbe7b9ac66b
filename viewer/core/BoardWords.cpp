// The board in words: what the status bar, the palette's tooltips and a screen reader say of
// the mode, of a point of the map and of a cell of the palette.
#include "BoardWords.h"

#include "PackageText.h"
#include "Reports.h"

namespace mw {

std::string PieceName(const Position& position, int pieceType) {
  const std::string name =
      DecodePackageText(position.pieces()[static_cast<uint8_t>(pieceType)].name);
  return name.empty() ? "piece " + std::to_string(pieceType) : name;
}

std::string ModeInWords(const Position& position, const EditingState& state) {
  switch (state.mouseMode) {
    case ModePlace:
      return "Placing " + PieceName(position, state.selectedPiece) + " of " +
             CountryName(position.countryNames(), state.selectedRow + 1);
    case ModeCarry: {
      const Unit& c = position.hand().carried;
      return "Carrying " + std::to_string(c.count) + " " + PieceName(position, c.pieceType) +
             " of " + CountryName(position.countryNames(), c.country);
    }
    case ModeDelete:
      return "Removing pieces";
    case ModeLabel:
      return "Moving income labels";
    case ModeIdle:
      break;
  }
  return {};
}

std::string PointInWords(const Position& position, const SectorIncomes& incomes, QPoint m) {
  std::string text;
  const SectorGrid* grid = position.grid();
  if (grid && m.x() >= 0 && m.y() >= 0 && grid->contains(m.x(), m.y())) {
    const int sector = grid->valueAt(m.x(), m.y());
    const SectorRecord* record = position.sectorRecord(static_cast<uint32_t>(sector));
    if (record && record->hasName()) {
      const SectorIncome& income = incomes[sector];
      text = DecodePackageText(record->name()) + ": ";
      if (income.owner == 0)
        text += "held by nobody";
      else
        text += CountryName(position.countryNames(), income.owner) + ", " +
                (income.value > 0 ? std::to_string(income.value) + " " + HeadingText(income.heading)
                                  : std::string("no income"));
    } else if (sector != 0) {
      text = "Area: " + std::to_string(sector);
    }
  }
  Unit unit;
  if (position.FindUnitAt(m.x(), m.y(), &unit) && unit.count > 0)
    text += (text.empty() ? "" : " \u2013 ") + std::to_string(unit.count) + " " +
            PieceName(position, unit.pieceType) + " of " +
            CountryName(position.countryNames(), unit.country);
  return text;
}

std::string PaletteCellInWords(const Position& position, const MapState& map, QPoint client) {
  if (client.x() < 0 || client.y() < 0 || map.piecesPicture.isNull()) return {};
  const int column = client.x() / std::max(1, map.pieceCellWidth);
  const int row = client.y() / std::max(1, map.pieceCellHeight);
  if (column > 255) return {};
  const PieceKind& kind = position.pieces()[static_cast<uint8_t>(column)];
  const char* category = kind.category == 0   ? "land"
                         : kind.category == 1 ? "naval"
                                              : "neither land nor naval";
  const std::string name = DecodePackageText(kind.name);
  return (name.empty() ? "(no name)" : name) + ", value " + std::to_string(kind.value) + ", " +
         category + "; " + CountryLabel(position.countryNames(), row + 1);
}

}  // namespace mw
