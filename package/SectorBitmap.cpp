// SPDX-License-Identifier: GPL-3.0-or-later
#include "SectorBitmap.h"

#include <charconv>
#include <cstdio>
#include <map>

#include "ScanText.h"

namespace mw {

SectorGrid GridFromPaletteRows(const BmpRows& rows) {
  // Every byte of a row, padding included, is a cell: the rows are the cells in order.
  return SectorGrid(static_cast<int32_t>(rows.rowLength), rows.height,
                    LargeVector<uint16_t>(rows.pixels.begin(), rows.pixels.end()));
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
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint16_t v = grid.valueAt(x, y);
      if (v == 0) continue;
      const bool alone =
          (x == 0 || grid.valueAt(x - 1, y) != v) && (x + 1 == w || grid.valueAt(x + 1, y) != v) &&
          (y == 0 || grid.valueAt(x, y - 1) != v) && (y + 1 == h || grid.valueAt(x, y + 1) != v);
      if (!alone) continue;
      Specks& s = specks[v];
      if (s.count++ == 0) s = {v, 1, x, y};
    }
  for (const auto& [index, s] : specks)
    if (s.count >= kDitheredSpecks) return s;
  return std::nullopt;
}

}  // namespace mw
