// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

namespace mw {

// Scales a picture to `width` x `height` so that its thin dark lines survive at every size: each
// target pixel takes the darkest of the source pixels that fall on it. Enlarging repeats pixels;
// shrinking never averages a one-pixel border away, as the map's sector borders must stay
// visible when zoomed out.
QImage ScaleKeepingDarkLines(const QImage& source, int width, int height);

// The part `region` of that scaled picture, pixel for pixel, without scaling the rest: what the
// map view shows of a large map costs the part shown. `source` should be RGB32 already, else
// each call converts it whole.
QImage ScaleRegionKeepingDarkLines(const QImage& source, int width, int height, QRect region);

}  // namespace mw
