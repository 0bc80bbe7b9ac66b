// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "Geometry.h"

namespace mapgen {

// The piece images: one row per country (1 to 8), one column per piece kind, cells of
// `cellWidth` x `cellHeight` pixels. Column 0, the control marker, is the country's emblem.
QImage PaintPieces(const Geometry& geometry, const std::vector<std::string>& kinds, int cellWidth,
                   int cellHeight);

}  // namespace mapgen
