// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

#include "Geometry.h"
#include "SectorLayout.h"

namespace mapgen {

// The map picture: land coloured by its first owner, seas shaded by their distance from the
// coast, one-pixel dark borders between sectors, and each sector's name under its label point.
QImage PaintMap(const Geometry& geometry, const std::vector<mw::SectorRecord>& records,
                const SectorLayout& layout);

// The sector bitmap that rgb2sect reads: sector n painted as blue = n mod 256, green = n / 256,
// red 0; pixels of no sector red.
QImage PaintSectorBitmap(const SectorLayout& layout);

}  // namespace mapgen
