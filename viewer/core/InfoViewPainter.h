#pragma once

#include <QFont>
#include <QPainter>
#include <QSize>

#include "MapState.h"
#include "Position.h"

namespace mw {

// The info view: a column per row of the pieces picture (one per country), headed by the
// country's emblem (column 0) standing on the line y = 20, and the rows "IPC", "Convoy", "Oil",
// "Sum", "Land" and "Naval".
QSize InfoViewSize(const MapState& map);
int InfoViewColumns(const MapState& map);
// The country whose column holds the point `at` of the info view, or 0 left of the columns and
// past the last.
int InfoViewCountryAt(const MapState& map, QPoint at);
void PaintInfoView(QPainter& painter, const MapState& map, const Position& position,
                   const QFont& labelFont);

}  // namespace mw
