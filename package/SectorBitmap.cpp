// SPDX-License-Identifier: GPL-3.0-or-later
#include "SectorBitmap.h"

#include <charconv>
#include <cstdio>
#include <map>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "ScanText.h"

namespace mw {

SectorGrid GridFromPaletteRows(const BmpRows& rows) {
  // Every byte of a row, padding included, is a cell: the rows are the cells in order. The cells
  // are made without a value and each written once.
  const size_t count = rows.pixels.size();
  LargeVector<uint16_t> cells(count);
  const uint8_t* in = rows.pixels.data();
  uint16_t* out = cells.data();
  size_t i = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time, each widened to its 16-bit cell.
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= count; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(bytes, zero));
  }
#endif
  for (; i < count; ++i) out[i] = in[i];
  return SectorGrid(static_cast<int32_t>(rows.rowLength), rows.height, std::move(cells));
}

SectorGrid GridFromRgbRows(const BmpRows& rows) {
  const auto width = static_cast<int32_t>(rows.rowLength / 3);
  SectorGrid grid(width, rows.height);
  for (int32_t y = 0; y < rows.height; ++y) {
    auto row = rows.row(y);
    for (int32_t x = 0; x < width; ++x) {
      const size_t at = 3 * static_cast<size_t>(x);
      const uint8_t blue = row[at], green = row[at + 1], red = row[at + 2];
      grid.setValue(x, y, red < 0x80 ? static_cast<uint16_t>(blue | (green << 8)) : 0);
    }
  }
  return grid;
}

Result<SectorGrid> GridFromColourList(const BmpRows& rows, std::string_view list) {
  using Grid = Result<SectorGrid>;
  std::map<uint32_t, uint16_t> sectorOf;
  int number = 0;
  while (!list.empty()) {
    ++number;
    const size_t end = list.find('\n');
    std::string_view line = list.substr(0, end);
    list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    ScanText scan(line);
    const auto colour = scan.Token();
    if (!colour || colour->starts_with(";")) continue;
    const std::string where = "line " + std::to_string(number) + ": ";
    std::string_view hex = *colour;
    if (hex.starts_with("#")) hex.remove_prefix(1);
    uint32_t rgb = 0;
    const auto [at, error] = std::from_chars(hex.data(), hex.data() + hex.size(), rgb, 16);
    if (hex.size() != 6 || error != std::errc() || at != hex.data() + hex.size())
      return Grid::Fail(where + "\"" + *colour +
                        "\" is no colour; write six hexadecimal digits, "
                        "RRGGBB");
    const auto sector = scan.Decimal();
    if (!sector || *sector < 0 || *sector >= kSectorSlots)
      return Grid::Fail(where + "the colour " + *colour + " names no sector from 0 to " +
                        std::to_string(kSectorSlots - 1));
    if (!sectorOf.emplace(rgb, static_cast<uint16_t>(*sector)).second)
      return Grid::Fail(where + "the colour " + *colour + " is listed twice");
  }
  const auto width = static_cast<int32_t>(rows.rowLength / 3);
  SectorGrid grid(width, rows.height);
  size_t unlisted = 0;
  struct Pixel {
    int32_t x = 0, y = 0;
    uint32_t rgb = 0;
  } first;
  for (int32_t y = 0; y < rows.height; ++y) {
    auto row = rows.row(y);
    for (int32_t x = 0; x < rows.width; ++x) {
      const size_t at = 3 * static_cast<size_t>(x);
      const uint32_t rgb = (uint32_t{row[at + 2]} << 16) | (uint32_t{row[at + 1]} << 8) | row[at];
      const auto found = sectorOf.find(rgb);
      if (found != sectorOf.end()) {
        grid.setValue(x, y, found->second);
      } else if (++unlisted == 1) {
        first = {x, y, rgb};
      }
    }
  }
  if (unlisted > 0) {
    char colour[12];
    std::snprintf(colour, sizeof colour, "%06x", first.rgb);
    return Grid::Fail(std::to_string(unlisted) + (unlisted == 1 ? " pixel is" : " pixels are") +
                      " of colours the list does not name, the first at " +
                      std::to_string(first.x) + "," + std::to_string(first.y) + " (" + colour +
                      "): paint the sectors in flat colours, without smoothing, "
                      "or list the colour");
  }
  return Grid::Ok(std::move(grid));
}

std::optional<Specks> FindDitheredIndex(const SectorGrid& grid) {
  std::map<int, Specks> specks;
  const int32_t w = grid.width(), h = grid.height();
  const uint16_t* cells = grid.cells().data();
  for (int32_t y = 0; y < h; ++y) {
    const uint16_t* row = cells + static_cast<size_t>(y) * static_cast<size_t>(w);
    const uint16_t* above = y > 0 ? row - w : nullptr;
    const uint16_t* below = y + 1 < h ? row + w : nullptr;
    const auto look = [&](int32_t x) {
      const uint16_t v = row[x];
      if (v == 0 || (x > 0 && row[x - 1] == v) || (x + 1 < w && row[x + 1] == v) ||
          (above && above[x] == v) || (below && below[x] == v))
        return;
      Specks& s = specks[v];
      if (s.count++ == 0) s = {v, 1, x, y};
    };
    int32_t x = 0;
#if defined(__SSE2__)
    // Inside the edges, eight cells at a time: they are looked at one by one only where one of
    // them differs from 0 and from all four of its neighbours, which a flat painting never does.
    if (above && below && w > 1) {
      look(x++);
      const __m128i zero = _mm_setzero_si128();
      const auto load = [](const uint16_t* at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
      };
      for (; x + 9 <= w; x += 8) {
        const __m128i v = load(row + x);
        const __m128i shared = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi16(v, zero), _mm_cmpeq_epi16(v, load(row + x - 1))),
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, load(row + x + 1)),
                                      _mm_cmpeq_epi16(v, load(above + x))),
                         _mm_cmpeq_epi16(v, load(below + x))));
        if (_mm_movemask_epi8(shared) != 0xffff)
          for (int32_t i = x; i < x + 8; ++i) look(i);
      }
    }
#endif
    for (; x < w; ++x) look(x);
  }
  for (const auto& [index, s] : specks)
    if (s.count >= kDitheredSpecks) return s;
  return std::nullopt;
}

}  // namespace mw
