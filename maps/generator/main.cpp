// SPDX-License-Identifier: GPL-3.0-or-later
// mapgen: paints the pictures of a map package from what its author wrote: the sector text (names,
// owners and label points), the geometry (land, seas, colours) and the piece table. Writes the
// sector bitmap for rgb2sect, Map.bmp, ToolPieces.bmp and BigPieces.bmp into a folder. The same
// sources always give the same bytes.
#include <sys/stat.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "BmpRows.h"
#include "FileBytes.h"
#include "Geometry.h"
#include "MapPainter.h"
#include "PiecePainter.h"
#include "PieceTable.h"

namespace {

void SaveBmp(const QImage& image, const std::filesystem::path& path) {
  mw::BmpRows rows;
  rows.width = image.width();
  rows.height = image.height();
  rows.bitsPerPixel = 24;
  rows.rowLength = static_cast<size_t>((rows.width * 24 + 31) / 32 * 4);
  rows.pixels.assign(rows.rowLength * rows.height, 0);
  for (int y = 0; y < rows.height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    uint8_t* out = rows.pixels.data() + static_cast<size_t>(y) * rows.rowLength;
    for (int x = 0; x < rows.width; ++x) {
      out[3 * x] = static_cast<uint8_t>(qBlue(line[x]));
      out[3 * x + 1] = static_cast<uint8_t>(qGreen(line[x]));
      out[3 * x + 2] = static_cast<uint8_t>(qRed(line[x]));
    }
  }
  if (auto outcome = mw::WriteFileAtomically(path, mw::EncodeBmp(rows)); !outcome)
    throw std::runtime_error(outcome.error());
}

std::vector<std::string> PieceKinds(const std::filesystem::path& path) {
  auto table = mw::ReadPieceTable(path);
  if (!table) throw std::runtime_error(table.error());
  std::vector<std::string> kinds;
  for (int k = 0; k < mw::PieceTable::kKinds && !(*table)[k].name.empty(); ++k)
    kinds.push_back((*table)[k].name);
  return kinds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: mapgen <sector text> <geometry> <ToolPieces.txt> <out folder>\n");
    return 1;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    const std::string dir = "/tmp/runtime-" + std::to_string(::getuid());
    ::mkdir(dir.c_str(), 0700);
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(dir));
  }
  QGuiApplication app(argc, argv);
  try {
    const std::filesystem::path out = argv[4];
    std::filesystem::create_directories(out);
    const auto geometry = mapgen::ReadGeometry(argv[2]);
    const auto records = mapgen::ReadSectorRecords(argv[1]);
    const auto layout = mapgen::LayOutSectors(geometry, records);
    SaveBmp(mapgen::PaintSectorBitmap(layout), out / "sectors.bmp");
    SaveBmp(mapgen::PaintMap(geometry, records, layout), out / "Map.bmp");
    const auto kinds = PieceKinds(argv[3]);
    SaveBmp(mapgen::PaintPieces(geometry, kinds, 15, 10), out / "ToolPieces.bmp");
    SaveBmp(mapgen::PaintPieces(geometry, kinds, 20, 15), out / "BigPieces.bmp");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return 2;
  }
  return 0;
}
