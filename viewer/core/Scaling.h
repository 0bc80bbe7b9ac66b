#pragma once

#include <QImage>

namespace mw {

// Scales a picture to `width` x `height` so that its thin dark lines survive at every size: each
// target pixel takes the darkest of the source pixels that fall on it. Enlarging repeats pixels;
// shrinking never averages a one-pixel border away, as the map's sector borders must stay
// visible when zoomed out.
QImage ScaleKeepingDarkLines(const QImage& source, int width, int height);

}  // namespace mw
