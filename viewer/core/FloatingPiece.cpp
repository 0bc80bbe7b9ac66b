#include "FloatingPiece.h"

#include <QPainter>

namespace mw {

void FloatingPiece::Paint(QPainter& painter, const ViewGeometry&) const {
  const MapState& map = source_.map();
  const EditingState& e = editing_;
  const Position& position = source_.position();
  if (map.piecesPicture.isNull()) return;
  const QPoint at(e.floatX - map.pieceHalfWidth, e.floatY - map.pieceHalfHeight);
  if (e.mouseMode == ModePlace) {
    painter.drawImage(at, map.piecesPicture, map.cell(e.selectedPiece, e.selectedRow + 1));
    return;
  }
  if (e.mouseMode != ModeCarry || !position.carrying()) return;
  const Unit& c = position.hand().carried;
  painter.drawImage(at, map.piecesPicture, map.cell(c.pieceType, c.country));
  if (c.count <= 1) return;
  const QFont& font = source_.fonts().labelFont;
  painter.setFont(font);
  painter.setPen(QColor(34, 34, 34));
  const QString text =
      QString::fromLatin1(c.labelText().data(), static_cast<int>(c.labelText().size()));
  const QFontMetrics m(font);
  painter.drawText(QRect(QPoint(e.floatX + map.pieceHalfWidth + 2, e.floatY - 6),
                         QSize(m.horizontalAdvance(text), m.height())),
                   Qt::AlignLeft | Qt::AlignTop, text);
}

}  // namespace mw
