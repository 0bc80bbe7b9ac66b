// Mouse editing of the main window: modes, placing, carrying, removing, label points, and the
// keys that switch modes.
#include <QFontMetrics>

#include "PackagePaths.h"
#include "PackageText.h"
#include "Viewer.h"

namespace mw {

void Viewer::SetMode(MouseMode mode) {
  // The floating piece shows in two modes: it comes or goes with them.
  const auto floats = [](MouseMode m) { return m == ModePlace || m == ModeCarry; };
  if (floats(editing_.mouseMode) || floats(mode)) InvalidateFloatingPiece(true);
  editing_.mouseMode = mode;
  host_.surface.SetCursor(cursor());
  host_.surface.ShowStatus(StatusField::kMode, ModeText());
  UpdateHint();
}

std::string Viewer::PieceName(int pieceType) const {
  const std::string name =
      DecodePackageText(position_.pieces()[static_cast<uint8_t>(pieceType)].name);
  return name.empty() ? "piece " + std::to_string(pieceType) : name;
}

std::string Viewer::ModeText() const {
  switch (editing_.mouseMode) {
    case ModePlace:
      return "Placing " + PieceName(editing_.selectedPiece) + " of " +
             CountryName(position_.countryNames(), editing_.selectedRow + 1);
    case ModeCarry: {
      const Unit& c = position_.hand().carried;
      return "Carrying " + std::to_string(c.count) + " " + PieceName(c.pieceType) + " of " +
             CountryName(position_.countryNames(), c.country);
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

void Viewer::ShowPointer(QPoint m) {
  std::string text = PointerText(m);
  if (text == pointerText_) return;
  pointerText_ = text;
  host_.surface.ShowStatus(StatusField::kPointer, text);
}

std::string Viewer::PointerText(QPoint m) const {
  std::string text;
  const SectorGrid* grid = position_.grid();
  if (grid && m.x() >= 0 && m.y() >= 0 && grid->contains(m.x(), m.y())) {
    const int sector = grid->valueAt(m.x(), m.y());
    const SectorRecord* record = position_.sectorRecord(static_cast<uint32_t>(sector));
    if (record && record->hasName()) {
      if (!incomes_) incomes_ = position_.SectorIncomeBreakdown();
      const SectorIncome& income = (*incomes_)[sector];
      text = DecodePackageText(record->name()) + ": ";
      if (income.owner == 0)
        text += "held by nobody";
      else
        text += CountryName(position_.countryNames(), income.owner) + ", " +
                (income.value > 0 ? std::to_string(income.value) + " " + HeadingText(income.heading)
                                  : std::string("no income"));
    } else if (sector != 0) {
      text = "Area: " + std::to_string(sector);
    }
  }
  Unit unit;
  if (position_.FindUnitAt(m.x(), m.y(), &unit) && unit.count > 0)
    text += (text.empty() ? "" : " \u2013 ") + std::to_string(unit.count) + " " +
            PieceName(unit.pieceType) + " of " +
            CountryName(position_.countryNames(), unit.country);
  return text;
}

// Leaving a carry any other way than by a drop puts the carried pieces back where they came
// from, so that no piece is ever lost in the hand.
void Viewer::ReturnCarriedPieces() { position_.CancelCarry(); }

// The area of the floating piece: while it moves, the piece and the carried count beside it;
// when a mode ends, the piece with a pixel around it and a little room on its right.
void Viewer::InvalidateFloatingPiece(bool moving) {
  constexpr int kMovingRoom = 20, kEndingRoom = 15;
  const EditingState& e = editing_;
  const PieceLook look = view_.units().Look(view_.geometry());
  const int hw = look.halfWidth, hh = look.halfHeight;
  const int movingRoom = static_cast<int>(kMovingRoom * look.scale),
            endingRoom = static_cast<int>(kEndingRoom * look.scale);
  QRect r = moving ? FromEdges(e.floatX - hw, e.floatY - hh, e.floatX + hw + movingRoom,
                               e.floatY + hh + 1)
                   : FromEdges(e.floatX - hw - 1, e.floatY - hh - 1, e.floatX + hw + endingRoom,
                               e.floatY + hh + 1);
  if (look.halo && position_.carrying() && position_.hand().carried.count > 1) {
    const QPoint count(e.floatX + hw + 2, e.floatY - look.countRise);
    r |= view_.units().CountBox(look, count, position_.hand().carried.count);
  }
  // A carried count of three digits and more reaches past that room.
  if (position_.carrying() && position_.hand().carried.count > 1) {
    const Unit& c = position_.hand().carried;
    const QFontMetrics m(startup_.fonts.labelFont);
    const QString text =
        QString::fromLatin1(c.labelText().data(), static_cast<int>(c.labelText().size()));
    r |= QRect(QPoint(e.floatX + hw + 2, e.floatY - 6),
               QSize(m.horizontalAdvance(text) + 1, m.height()));
  }
  host_.surface.InvalidateMap(r);
}

void Viewer::EnterDeleteMode() {
  InvalidateFloatingPiece(false);
  ReturnCarriedPieces();
  SetMode(ModeDelete);
}

void Viewer::CancelCarryCommand() {
  ReturnCarriedPieces();
  InvalidateFloatingPiece(false);
  SetMode(ModeIdle);
  view_.FitWindowToMap();
}

void Viewer::Undo() {
  // An undo puts pieces in the hand back first, so that it finds their unit whole.
  if (editing_.mouseMode == ModeCarry) SetMode(ModeIdle);
  position_.UndoLast();
}

void Viewer::Redo() {
  if (editing_.mouseMode == ModeCarry) SetMode(ModeIdle);
  position_.RedoLast();
}

void Viewer::LeftPress(QPoint m, unsigned modifiers) {
  switch (editing_.mouseMode) {
    case ModeIdle:
      if (position_.PickUp(m.x(), m.y(), modifiers)) SetMode(ModeCarry);
      break;
    case ModePlace:
      position_.PlacePiece(m.x(), m.y(), static_cast<uint8_t>(editing_.selectedPiece),
                           static_cast<uint8_t>(editing_.selectedRow + 1), modifiers);
      break;
    case ModeDelete:
      position_.RemoveAt(m.x(), m.y(), modifiers);
      break;
    case ModeLabel:
      position_.SetLabelPosition(m.x(), m.y());
      break;
    default:
      break;
  }
}

void Viewer::MousePress(MouseButton button, QPoint client, unsigned modifiers) {
  const QPoint m = view_.ClientToMap(client);
  switch (button) {
    case MouseButton::kLeft:
      return LeftPress(m, modifiers);
    case MouseButton::kMiddle:
      position_.RemoveAt(m.x(), m.y(), modifiers);
      return;
    case MouseButton::kRight:
      return view_.BeginScrollDrag(client);
  }
}

void Viewer::MouseRelease(MouseButton button, QPoint client) {
  if (button == MouseButton::kRight) return view_.EndScrollDrag();
  if (button != MouseButton::kLeft || editing_.mouseMode != ModeCarry) return;
  const QPoint m = view_.ClientToMap(client);
  SetMode(ModeIdle);
  position_.Drop(m.x(), m.y());
}

void Viewer::MouseMove(QPoint client) {
  view_.UpdateHoverTitle(client);
  ShowPointer(view_.ClientToMap(client));
  if (editing_.mouseMode == ModePlace || editing_.mouseMode == ModeCarry) {
    InvalidateFloatingPiece(true);
    editing_.floatX = client.x();
    editing_.floatY = client.y();
    InvalidateFloatingPiece(true);
  }
  view_.DragScroll(client);
}

void Viewer::KeyPress(Key key, unsigned modifiers) {
  plainPresses_[static_cast<size_t>(key)] = (modifiers & (kCtrl | kAlt)) == 0;
  KeyboardBoard(key, modifiers);
}

void Viewer::KeyRelease(Key key, unsigned) {
  const bool plain = plainPresses_[static_cast<size_t>(key)];
  plainPresses_[static_cast<size_t>(key)] = false;
  switch (key) {
    case Key::kD:
      return EnterDeleteMode();
    case Key::kE:
      ReturnCarriedPieces();
      return SetMode(ModeLabel);
    case Key::kEscape:
      return CancelCarryCommand();
    case Key::kS:
      // Ctrl+S saves; its S, let go after Ctrl, never writes into the map package.
      if (plain) ExportCommand();
      return;
    case Key::kKeypadPlus:
      view_.ZoomIn();
      return;
    case Key::kKeypadMinus:
      view_.ZoomOut();
      return;
    case Key::kPlus:
      if (plain) view_.ZoomIn();
      return;
    case Key::kMinus:
      if (plain) view_.ZoomOut();
      return;
    default:
      return;
  }
}

void Viewer::ExportCommand() {
  const std::filesystem::path folder = PackageFolder(map_.packageName);
  const std::string file(package_file::kSectorTableExport);
  // A package installed for all users is not the user's to change: nothing is written elsewhere,
  // and the message says where the table could not go.
  if (auto exported = ExportSectorTable(); !exported) {
    qWarning("%s", exported.error().c_str());
    ++failures_;
    host_.surface.ShowStatus(StatusField::kMessage, "Could not write " + file + " into " +
                                                        folder.string() + ": " + exported.error());
    return;
  }
  host_.surface.ShowStatus(StatusField::kMessage,
                           "Wrote " + file + " into " + folder.filename().string());
}

void Viewer::Wheel(QPoint client, QPoint pixels, bool zoom) {
  if (!zoom) return view_.ScrollBy(-pixels.x(), -pixels.y());
  if (pixels.y() != 0) view_.ZoomAt(pixels.y() > 0, client);
}

void Viewer::PaletteClick(QPoint client) {
  ReturnCarriedPieces();
  editing_.selectedPiece = client.x() / map_.pieceCellWidth;
  editing_.selectedRow = client.y() / map_.pieceCellHeight;
  SetMode(ModePlace);
}

std::string Viewer::PaletteCellText(QPoint client) const {
  if (client.x() < 0 || client.y() < 0 || map_.piecesPicture.isNull()) return {};
  const int column = client.x() / std::max(1, map_.pieceCellWidth);
  const int row = client.y() / std::max(1, map_.pieceCellHeight);
  if (column > 255) return {};
  const PieceKind& kind = position_.pieces()[static_cast<uint8_t>(column)];
  const char* category = kind.category == 0   ? "land"
                         : kind.category == 1 ? "naval"
                                              : "neither land nor naval";
  const std::string name = DecodePackageText(kind.name);
  return (name.empty() ? "(no name)" : name) + ", value " + std::to_string(kind.value) + ", " +
         category + "; " + CountryLabel(position_.countryNames(), row + 1);
}

void Viewer::PaletteEscape() {
  ReturnCarriedPieces();
  SetMode(ModeIdle);
}

}  // namespace mw
