// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QPainter>
#include <QSize>
#include <string>

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
// The area of a country's column (1 to the columns), where InfoViewCountryAt finds it.
QRect InfoViewColumnRect(const MapState& map, int country);
// A country's column in words, for a screen reader: "Sarnesh (country 1): IPC 12, Convoy 0, ...".
std::string InfoViewColumnText(const Position& position, int country);
void PaintInfoView(QPainter& painter, const MapState& map, const Position& position,
                   const QFont& labelFont);

}  // namespace mw
