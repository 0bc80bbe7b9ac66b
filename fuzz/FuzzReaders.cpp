// SPDX-License-Identifier: GPL-3.0-or-later
// One libFuzzer entry point per reader of untrusted input, chosen at build time by FUZZ_READER.
// Each reader must accept any bytes without a crash, an overread or undefined behaviour.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "BmpRows.h"
#include "GameFile.h"
#include "MapInfo.h"
#include "PieceTable.h"
#include "Position.h"
#include "PositionFile.h"
#include "SectorBitmap.h"
#include "SectorGrid.h"
#include "SectorTable.h"
#include "SectorText.h"
#include "Settings.h"

namespace {

[[maybe_unused]] std::string_view Text(const uint8_t* data, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

void Fuzz(std::span<const uint8_t> bytes, const uint8_t* data, size_t size) {
  using namespace mw;
#if FUZZ_READER == 1
  auto grid = ParseSectorGrid(bytes, "fuzz");
  if (grid) {
    // Every cell the grid claims is readable.
    const auto w = grid->width(), h = grid->height();
    volatile uint32_t sum =
        grid->sectorAt(w - 1, h - 1) + grid->sectorAt(w, h) + grid->sectorAt(-1, 0);
    (void)sum;
    (void)grid->Serialize();
  }
#elif FUZZ_READER == 2
  const SectorTable table = SectorTable::Parse(bytes);
  for (int n = 0; n < kSectorSlots; ++n) {
    const SectorRecord& r = table[n];
    volatile int64_t v = int64_t{r.labelX()} + r.labelY() + r.countryValues(n % 10) +
                         r.ownerDependency(n % 10) + static_cast<int64_t>(r.name().size());
    (void)v;
  }
  (void)table.SerializeNamed();
#elif FUZZ_READER == 3
  (void)PieceTable::Parse(Text(data, size));
#elif FUZZ_READER == 4
  (void)MapInfo::Parse(Text(data, size));
#elif FUZZ_READER == 5
  // Both position formats, told apart by content; a loaded position saves again.
  Position position;
  LoadPositionBytes(position, bytes);
  (void)EncodePosition(position, false);
  (void)EncodePosition(position, true);
  (void)position.mapName();
#elif FUZZ_READER == 6
  Settings settings;
  settings.LoadBytes(bytes);
  volatile int v = settings.paletteX() + settings.paletteY() + settings.infoViewX() +
                   settings.infoViewY() + settings.useBigPieces() + settings.showIpcValues();
  (void)v;
#elif FUZZ_READER == 7
  auto rows = ParseBmpRows(bytes, "fuzz");
  if (rows) {
    for (int32_t y = 0; y < rows->height; ++y) (void)rows->row(y);
    // The converters run on whatever was read, as far as it is small enough to be quick.
    if (rows->pixels.size() < (1u << 20)) {
      (void)GridFromPaletteRows(*rows).Serialize();
      (void)GridFromRgbRows(*rows).Serialize();
    }
  }
#elif FUZZ_READER == 8
  for (const auto& piece : SplitSectorText(Text(data, size))) (void)CompileSectorLine(piece.text);
#elif FUZZ_READER == 9
  // The header of a picture decides, before anything is read or made for it, whether it fits.
  if (auto info = ParseBmpInfo(bytes, "fuzz")) {
    const Status fits = PictureFits(info->width, info->height, size, uint64_t{1} << 30, "fuzz");
    // What it lets through is what it says: 4 bytes a pixel within the budget.
    if (fits && (info->width <= 0 || info->height <= 0 ||
                 4 * uint64_t(info->width) * uint64_t(info->height) > (uint64_t{1} << 30)))
      __builtin_trap();
  }
#elif FUZZ_READER == 10
  // A game file: written where SQLite can open it, then opened, verified, listed and every turn
  // read.
  static const std::string path = "/tmp/fuzz-game-" + std::to_string(::getpid()) + ".mwgame";
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  if (auto game = GameFile::Open(path)) {
    (void)game->Verify();
    (void)game->FindTurn(0);
    if (auto turns = game->Turns())
      for (size_t i = 0; i < turns->size() && i < 16; ++i)
        if (auto bytes = game->PositionOf((*turns)[i].number)) {
          Position position;
          LoadPositionBytes(position, *bytes);
        }
  }
#else
#error "FUZZ_READER must name a reader"
#endif
  (void)bytes;
  (void)data;
  (void)size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Fuzz(std::span<const uint8_t>(data, size), data, size);
  return 0;
}
