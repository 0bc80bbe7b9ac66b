// SPDX-License-Identifier: GPL-3.0-or-later
#include "Geometry.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "FileBytes.h"
#include "SectorText.h"

namespace mapgen {

Geometry ReadGeometry(const std::filesystem::path& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error(path.string() + ": cannot open");
  Geometry g;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string key;
    words >> key;
    auto fail = [&] {
      throw std::runtime_error(path.string() + ": line " + std::to_string(number) + ": " + line);
    };
    if (key == "size") {
      words >> g.width >> g.height;
    } else if (key == "noise") {
      words >> g.noiseSeed;
    } else if (key == "caption") {
      std::getline(words >> std::ws, g.caption);
    } else if (key == "land") {
      Blob b{};
      words >> b.cx >> b.cy >> b.rx >> b.ry;
      g.blobs.push_back(b);
    } else if (key == "sea") {
      for (int n; words >> n;) g.seaSectors.push_back(n);
    } else if (key == "seed") {
      Seed s{};
      words >> s.sector >> s.x >> s.y;
      g.extraSeeds.push_back(s);
    } else if (key == "colour") {
      int country, r, gr, b;
      words >> country >> r >> gr >> b;
      g.countryColours[country] = {static_cast<uint8_t>(r), static_cast<uint8_t>(gr),
                                   static_cast<uint8_t>(b)};
    } else {
      fail();
    }
    if (words.fail() && !words.eof()) fail();
  }
  if (g.width <= 0 || g.height <= 0) throw std::runtime_error(path.string() + ": no size line");
  return g;
}

std::vector<mw::SectorRecord> ReadSectorRecords(const std::filesystem::path& path) {
  auto bytes = mw::ReadFileBytes(path);
  if (!bytes) throw std::runtime_error(bytes.error());
  std::vector<mw::SectorRecord> records{mw::SectorRecord()};  // sector 0 has no record
  for (const auto& piece : mw::SplitSectorText(std::string(bytes->begin(), bytes->end()))) {
    const mw::SectorLine line = mw::CompileSectorLine(piece.text);
    if (line.kind == mw::SectorLineKind::kNoColon)
      throw std::runtime_error(path.string() + ": line " + std::to_string(piece.line) +
                               ": no colon");
    if (line.kind == mw::SectorLineKind::kRecord) records.push_back(line.record);
  }
  return records;
}

}  // namespace mapgen
