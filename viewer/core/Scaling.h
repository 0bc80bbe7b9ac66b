// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

namespace mw {

// The pixels of a picture a row at a time: a picture held whole, or one whose pixels are made
// where they are first asked for.
class PictureRows {
 public:
  virtual ~PictureRows() = default;
  virtual QSize size() const = 0;
  // Makes ready the pixels of `area` (of the picture), before its rows are asked for.
  virtual void Ready(QRect area) const = 0;
  // The pixels of row `y` from `left` to `right` (both included) of an area made ready: a
  // pointer to them where they lie side by side, else to their copy in `scratch`, which has
  // room for them.
  virtual const QRgb* Row(int y, int left, int right, QRgb* scratch) const = 0;
};

// The rows of a picture of 32-bit pixels held whole.
class WholePictureRows : public PictureRows {
 public:
  explicit WholePictureRows(const QImage& picture) : picture_(picture) {}
  QSize size() const override { return picture_.size(); }
  void Ready(QRect) const override {}
  const QRgb* Row(int y, int left, int, QRgb*) const override {
    return reinterpret_cast<const QRgb*>(picture_.constScanLine(y)) + left;
  }

 private:
  const QImage& picture_;
};

// Scales a picture to `width` x `height` so that its thin dark lines survive at every size: each
// target pixel takes the darkest of the source pixels that fall on it. Enlarging repeats pixels;
// shrinking never averages a one-pixel border away, as the map's sector borders must stay
// visible when zoomed out.
QImage ScaleKeepingDarkLines(const QImage& source, int width, int height);

// The part `region` of that scaled picture, pixel for pixel, without scaling the rest: what the
// map view shows of a large map costs the part shown. `source` should be RGB32 already, else
// each call converts it whole.
QImage ScaleRegionKeepingDarkLines(const QImage& source, int width, int height, QRect region);
// The same from a picture's rows: only the pixels the region falls on are asked for.
QImage ScaleRegionKeepingDarkLines(const PictureRows& source, int width, int height, QRect region);

}  // namespace mw
