// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace mw {

// Walks the RLE8 pixels of a bitmap as the platform's loader does: runs of one index, absolute
// runs, moves ahead, line ends. `put(x, y, index)` is called for every pixel painted inside the
// `width` x `height` picture, y counting the stored rows from the bottom; a run past the right
// edge is cut there. Returns kRle8Complete when the end mark was reached, else the offset where
// the data ran out before it.
inline constexpr size_t kRle8Complete = SIZE_MAX;

template <class Put>
size_t WalkRle8(std::span<const uint8_t> data, int64_t width, int64_t height, Put put) {
  int64_t x = 0, y = 0;
  size_t i = 0;
  auto paint = [&](uint8_t index) {
    if (x < width && y < height) put(x, y, index);
    ++x;
  };
  while (true) {
    if (data.size() - i < 2) return i;
    const uint8_t count = data[i], value = data[i + 1];
    i += 2;
    if (count > 0) {
      for (int k = 0; k < count; ++k) paint(value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return kRle8Complete;
    } else if (value == 2) {  // move right and up
      if (data.size() - i < 2) return i;
      x += data[i];
      y += data[i + 1];
      i += 2;
    } else {  // `value` indices as they are, padded to a whole 16-bit word
      const size_t padded = value + (value & 1u);
      if (data.size() - i < padded) return i;
      for (size_t k = 0; k < value; ++k) paint(data[i + k]);
      i += padded;
    }
  }
}

}  // namespace mw
