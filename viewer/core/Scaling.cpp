#include "Scaling.h"

#include <vector>

namespace mw {
namespace {

// Brightness as a weighted sum of the channels; the darkest pixel has the lowest.
int Brightness(QRgb c) { return 299 * qRed(c) + 587 * qGreen(c) + 114 * qBlue(c); }

// For each target index t of `count`, the source range [first, last] that falls on it.
std::vector<std::pair<int, int>> Spans(int sourceCount, int count) {
  std::vector<std::pair<int, int>> spans(static_cast<size_t>(count));
  for (int t = 0; t < count; ++t) {
    if (count >= sourceCount) {  // enlarging: the source pixel under the target's centre
      const int at = static_cast<int>((2LL * t + 1) * sourceCount / (2LL * count));
      spans[static_cast<size_t>(t)] = {at, at};
      continue;
    }
    int first = static_cast<int>(static_cast<long long>(t) * sourceCount / count);
    int last = static_cast<int>((static_cast<long long>(t + 1) * sourceCount - 1) / count);
    if (last < first) last = first;
    spans[static_cast<size_t>(t)] = {first, last};
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
  const auto columns = Spans(src.width(), width);
  const auto rows = Spans(src.height(), height);
  // Across first, then down: the darkest of the darkest is the darkest of the block.
  QImage across(width, src.height(), QImage::Format_RGB32);
  for (int y = 0; y < src.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
    auto* out = reinterpret_cast<QRgb*>(across.scanLine(y));
    for (int x = 0; x < width; ++x) out[x] = Darkest(in, columns[x].first, columns[x].second, 1);
  }
  QImage result(width, height, QImage::Format_RGB32);
  const auto* base = reinterpret_cast<const QRgb*>(across.constBits());
  const int stride = static_cast<int>(across.bytesPerLine() / sizeof(QRgb));
  for (int y = 0; y < height; ++y) {
    auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
    for (int x = 0; x < width; ++x)
      out[x] = Darkest(base + x, rows[y].first, rows[y].second, stride);
  }
  return result;
}

}  // namespace mw
