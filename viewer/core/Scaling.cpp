// SPDX-License-Identifier: GPL-3.0-or-later
#include "Scaling.h"

#include <cstring>
#include <vector>

#include "Picture.h"

namespace mw {
namespace {

// Brightness as a weighted sum of the channels; the darkest pixel has the lowest.
int Brightness(QRgb c) { return 299 * qRed(c) + 587 * qGreen(c) + 114 * qBlue(c); }

// For each target index t of [from, to) out of `count`, the source range [first, last] that falls
// on it.
std::vector<std::pair<int, int>> Spans(int sourceCount, int count, int from, int to) {
  std::vector<std::pair<int, int>> spans(static_cast<size_t>(to - from));
  for (int t = from; t < to; ++t) {
    if (count >= sourceCount) {  // enlarging: the source pixel under the target's centre
      const int at = static_cast<int>((2LL * t + 1) * sourceCount / (2LL * count));
      spans[static_cast<size_t>(t - from)] = {at, at};
      continue;
    }
    int first = static_cast<int>(static_cast<long long>(t) * sourceCount / count);
    int last = static_cast<int>((static_cast<long long>(t + 1) * sourceCount - 1) / count);
    if (last < first) last = first;
    spans[static_cast<size_t>(t - from)] = {first, last};
  }
  return spans;
}

QRgb Darkest(const QRgb* pixels, int first, int last, int stride) {
  QRgb best = pixels[first * stride];
  int bestValue = Brightness(best);
  for (int i = first + 1; i <= last; ++i) {
    const QRgb c = pixels[i * stride];
    const int v = Brightness(c);
    if (v < bestValue) best = c, bestValue = v;
  }
  return best;
}

}  // namespace

QImage ScaleKeepingDarkLines(const QImage& source, int width, int height) {
  if (source.isNull() || width <= 0 || height <= 0) return QImage();
  const QImage src = source.convertToFormat(QImage::Format_RGB32);
  if (src.width() == width && src.height() == height) return src;
  return ScaleRegionKeepingDarkLines(src, width, height, QRect(0, 0, width, height));
}

QImage ScaleRegionKeepingDarkLines(const QImage& source, int width, int height, QRect region) {
  if (source.isNull()) return QImage();
  const QImage src = source.format() == QImage::Format_RGB32
                         ? source
                         : source.convertToFormat(QImage::Format_RGB32);
  return ScaleRegionKeepingDarkLines(WholePictureRows(src), width, height, region);
}

QImage ScaleRegionKeepingDarkLines(const PictureRows& src, int width, int height, QRect region) {
  region = region.intersected(QRect(0, 0, width, height));
  const QSize size = src.size();
  if (size.isEmpty() || region.isEmpty()) return QImage();
  auto columns = Spans(size.width(), width, region.left(), region.right() + 1);
  const auto rows = Spans(size.height(), height, region.top(), region.bottom() + 1);
  // Only the source pixels the region falls on are made ready and read, a row at a time; the
  // columns are counted from the first of them.
  const int left = columns.front().first, right = columns.back().second;
  src.Ready(QRect(QPoint(left, rows.front().first), QPoint(right, rows.back().second)));
  for (auto& [first, last] : columns) first -= left, last -= left;
  std::vector<QRgb> scratch(static_cast<size_t>(right - left + 1));
  const auto row = [&](int y) { return src.Row(y, left, right, scratch.data()); };
  if (size.width() == width && size.height() == height) {
    QImage copy = BlankPicture(region.width(), region.height());
    for (int y = 0; y < region.height(); ++y)
      std::memcpy(copy.scanLine(y), row(region.top() + y), 4 * static_cast<size_t>(region.width()));
    return copy;
  }
  if (width >= size.width() && height >= size.height()) {
    // Enlarging both ways: every target pixel is one source pixel, taken straight.
    QImage result = BlankPicture(region.width(), region.height());
    for (int y = 0; y < region.height(); ++y) {
      const QRgb* in = row(rows[size_t(y)].first);
      auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
      for (int x = 0; x < region.width(); ++x) out[x] = in[columns[size_t(x)].first];
    }
    return result;
  }
  // Across first, then down: the darkest of the darkest is the darkest of the block. Only the
  // source rows the region's rows fall on are taken across.
  const int firstRow = rows.front().first, lastRow = rows.back().second;
  QImage across = BlankPicture(region.width(), lastRow - firstRow + 1);
  for (int y = firstRow; y <= lastRow; ++y) {
    const QRgb* in = row(y);
    auto* out = reinterpret_cast<QRgb*>(across.scanLine(y - firstRow));
    for (int x = 0; x < region.width(); ++x)
      out[x] = Darkest(in, columns[static_cast<size_t>(x)].first,
                       columns[static_cast<size_t>(x)].second, 1);
  }
  QImage result = BlankPicture(region.width(), region.height());
  const auto* base = reinterpret_cast<const QRgb*>(across.constBits());
  const int stride = static_cast<int>(across.bytesPerLine() / sizeof(QRgb));
  for (int y = 0; y < region.height(); ++y) {
    auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
    const auto [first, last] = rows[static_cast<size_t>(y)];
    for (int x = 0; x < region.width(); ++x)
      out[x] = Darkest(base + x, first - firstRow, last - firstRow, stride);
  }
  return result;
}

}  // namespace mw
