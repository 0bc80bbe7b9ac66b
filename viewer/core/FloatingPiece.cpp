// SPDX-License-Identifier: GPL-3.0-or-later
#include "FloatingPiece.h"

#include <QPainter>

namespace mw {

void FloatingPiece::Paint(QPainter& painter, const ViewGeometry& view) const {
  const EditingState& e = editing_;
  const Position& position = source_.position();
  const PieceLook look = units_.Look(view);
  if (look.picture->isNull()) return;
  const QPoint at(e.floatX - look.halfWidth, e.floatY - look.halfHeight);
  if (e.mouseMode == ModePlace) {
    painter.drawImage(at, *look.picture, look.Cell(e.selectedPiece, e.selectedRow + 1));
    return;
  }
  if (e.mouseMode != ModeCarry || !position.carrying()) return;
  const Unit& c = position.hand().carried;
  painter.drawImage(at, *look.picture, look.Cell(c.pieceType, c.country));
  if (c.count <= 1) return;
  if (look.halo)
    return units_.DrawCount(
        painter, look, QPoint(e.floatX + look.halfWidth + 2, e.floatY - look.countRise), c.count);
  const QFont& font = source_.fonts().labelFont;
  painter.setFont(font);
  painter.setPen(QColor(34, 34, 34));
  const QString text =
      QString::fromLatin1(c.labelText().data(), static_cast<int>(c.labelText().size()));
  const QFontMetrics m(font);
  painter.drawText(QRect(QPoint(e.floatX + look.halfWidth + 2, e.floatY - 6),
                         QSize(m.horizontalAdvance(text), m.height())),
                   Qt::AlignLeft | Qt::AlignTop, text);
}

}  // namespace mw
