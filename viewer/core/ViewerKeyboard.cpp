// The board from the keyboard: a crosshair the arrows move, the palette stepped through with
// PageDown and PageUp, and Enter and Delete as the mouse buttons at the crosshair, so that a
// whole game can be set up and played without a mouse.
#include "Viewer.h"

namespace mw {

bool Viewer::KeyboardBoard(Key key, unsigned modifiers) {
  if (modifiers & kAlt) return false;  // Alt+Left and Alt+Right step through the turns
  if (!ActOnBoardKey(key, modifiers)) return false;
  host_.surface.DescribeCrosshair(CrosshairText());
  return true;
}

std::string Viewer::CrosshairText() const {
  if (!crosshair_.at()) return {};
  const std::string mode = ModeText(), under = PointerText(*crosshair_.at());
  return mode + (mode.empty() || under.empty() ? "" : " \u2013 ") + under;
}

bool Viewer::ActOnBoardKey(Key key, unsigned modifiers) {
  const int step = modifiers & kShift ? 1 : 10;
  switch (key) {
    case Key::kLeft:
      MoveCrosshair(QPoint(-step, 0));
      return true;
    case Key::kRight:
      MoveCrosshair(QPoint(step, 0));
      return true;
    case Key::kUp:
      MoveCrosshair(QPoint(0, -step));
      return true;
    case Key::kDown:
      MoveCrosshair(QPoint(0, step));
      return true;
    case Key::kPageDown:
    case Key::kPageUp: {
      const int direction = key == Key::kPageDown ? 1 : -1;
      if (modifiers & kCtrl)
        StepPalette(0, direction);
      else
        StepPalette(direction, 0);
      return true;
    }
    case Key::kEnter: {
      MoveCrosshair(QPoint());
      const QPoint client = CrosshairClient();
      // A pick-up by Enter waits for the next Enter to drop what it carries.
      if (editing_.mouseMode == ModeCarry) {
        MouseRelease(MouseButton::kLeft, client);
        return true;
      }
      MousePress(MouseButton::kLeft, client, modifiers & (kShift | kCtrl));
      if (editing_.mouseMode != ModeCarry) MouseRelease(MouseButton::kLeft, client);
      return true;
    }
    case Key::kDelete: {
      MoveCrosshair(QPoint());
      const QPoint client = CrosshairClient();
      MousePress(MouseButton::kMiddle, client, modifiers & (kShift | kCtrl));
      MouseRelease(MouseButton::kMiddle, client);
      return true;
    }
    default:
      return false;
  }
}

// Moves the crosshair within the picture (placing it first in the middle of the map area) and
// keeps it in sight; what the mouse would show there follows it.
void Viewer::MoveCrosshair(QPoint by) {
  const ViewState& s = view_.state();
  if (s.pictureWidth <= 0 || s.pictureHeight <= 0) return;
  // The map area as it is now: the view learns its size only as it scrolls or resizes.
  const QSize area = host_.frame.ClientSize();
  std::optional<QPoint> at = crosshair_.at();
  if (at) host_.surface.InvalidateMap(Crosshair::Around(view_.MapToClient(*at)));
  if (!at) at = view_.ClientToMap(QPoint(area.width() / 2, area.height() / 2));
  const QPoint to(std::clamp(at->x() + by.x(), 0, s.pictureWidth - 1),
                  std::clamp(at->y() + by.y(), 0, s.pictureHeight - 1));
  crosshair_.Place(to);
  QPoint client = view_.MapToClient(to);
  constexpr int kMargin = 24;
  const QRect inside = QRect(QPoint(0, 0), area).adjusted(kMargin, kMargin, -kMargin, -kMargin);
  if (!inside.contains(client)) {
    view_.CenterOn(to);
    client = view_.MapToClient(to);
    host_.surface.InvalidateMap(QRect());
  }
  host_.surface.InvalidateMap(Crosshair::Around(client));
  MouseMove(client);
}

// PageDown and PageUp: the next or previous piece kind (the first press takes the first kind of
// country 1); with Ctrl the next or previous country. Both wrap around the palette.
void Viewer::StepPalette(int kinds, int countries) {
  const QImage& pieces = map_.piecesPicture;
  if (pieces.isNull()) return;
  const int columns = std::max(1, pieces.width() / map_.pieceCellWidth);
  const int rows = std::max(1, pieces.height() / map_.pieceCellHeight);
  int kind = 0, row = 0;
  if (editing_.mouseMode == ModePlace) {
    kind = (editing_.selectedPiece + kinds + columns) % columns;
    row = (editing_.selectedRow + countries + rows) % rows;
  }
  PaletteClick(QPoint(kind * map_.pieceCellWidth, row * map_.pieceCellHeight));
  if (crosshair_.at()) MouseMove(CrosshairClient());
}

}  // namespace mw
