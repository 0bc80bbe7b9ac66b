// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestPackage.h"

#include <QPainter>
#include <fstream>

#include "PositionFile.h"
#include "SectorTable.h"

namespace mw::test {
namespace {

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

QImage Pieces(int cellWidth, int cellHeight) {
  QImage image(5 * cellWidth, 8 * cellHeight, QImage::Format_RGB32);
  for (int row = 0; row < 8; ++row)
    for (int kind = 0; kind < 5; ++kind)
      for (int y = 0; y < cellHeight; ++y)
        for (int x = 0; x < cellWidth; ++x)
          image.setPixelColor(kind * cellWidth + x, row * cellHeight + y,
                              CellColour(kind, row + 1));
  return image;
}

}  // namespace

QColor CellColour(int pieceType, int country) {
  return QColor(40 * pieceType + 30, 25 * country, 90);
}

void TestPackage::WriteTo(const std::filesystem::path& programDir) const {
  const auto dir = programDir / (name + ".gim");
  std::filesystem::create_directories(dir);
  const int width = static_cast<int>(100 * sectors.size());
  QImage picture(width, 100, QImage::Format_RGB32);
  picture.fill(kBandColour);
  for (int x = 99; x < width - 1; x += 100)
    for (int y = 0; y < 100; ++y) picture.setPixelColor(x, y, kBorderColour);
  picture.save(QString::fromStdString((dir / "Map.bmp").string()), "BMP");

  Position p;
  AttachBandMap(p, sectors);
  SectorGrid grid = *p.grid();
  for (const auto& [at, sector] : otherCells) grid.setValue(at.x(), at.y(), sector);
  grid.WriteFile(dir / "SektorInfo.map");
  if (withSectorTable) {
    std::vector<uint8_t> table;
    for (size_t n = 1; n <= sectors.size(); ++n) {
      auto b = (*p.sectorTable())[n].bytes();
      table.insert(table.end(), b.begin(), b.end());
    }
    std::ofstream(dir / "SektorInfo.sek", std::ios::binary)
        .write(reinterpret_cast<const char*>(table.data()),
               static_cast<std::streamsize>(table.size()));
  }
  WriteText(dir / "ToolPieces.txt", pieceTable);
  WriteText(dir / "MapInfo.txt", title + "\n" + alliances);
  Pieces(15, 10).save(QString::fromStdString((dir / "ToolPieces.bmp").string()), "BMP");
  if (bigPieces)
    Pieces(20, 15).save(QString::fromStdString((dir / "BigPieces.bmp").string()), "BMP");

  Position startPosition;
  startPosition.ReplaceUnits(start);
  startPosition.header().setMapName(name);
  SavePosition(startPosition, dir / "Start.QPX");
}

}  // namespace mw::test
