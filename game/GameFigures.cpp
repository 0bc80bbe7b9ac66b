// SPDX-License-Identifier: GPL-3.0-or-later
#include "GameFigures.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "PositionFile.h"
#include "Sha256.h"

namespace mw {
namespace {

constexpr size_t kFiguresRecord = 12;  // country, then IPC, Convoy, Oil, Land, Naval

// A quick 64-bit mix of the grid's cells: SHA-256 over a grid of 48 million cells would cost more
// than the figures it saves. A grid never changes once read, and positions of one map share it:
// the mix of the last grid asked about is kept, so that recording turn after turn mixes it once.
uint64_t GridDigest(const std::shared_ptr<const SectorGrid>& grid) {
  thread_local std::weak_ptr<const SectorGrid> last;
  thread_local uint64_t lastDigest = 0;
  if (last.lock() == grid) return lastDigest;
  const std::span<const uint16_t> cells = grid->cells();
  uint64_t h = 0x9e3779b97f4a7c15u ^ cells.size();
  size_t i = 0;
  for (; i + 4 <= cells.size(); i += 4) {
    uint64_t word;
    std::memcpy(&word, &cells[i], sizeof word);
    h = (h ^ word) * 0xff51afd7ed558ccdu;
    h ^= h >> 32;
  }
  for (; i < cells.size(); ++i) h = (h ^ cells[i]) * 0xc4ceb9fe1a85ec53u;
  last = grid;
  lastDigest = h;
  return h;
}

}  // namespace

std::string FiguresMapKey(const Position& map) {
  Sha256 key;
  key.Add("figures 1\n" + map.mapName() + "\n");
  if (const SectorTable* sectors = map.sectorTable())
    for (int n = 1; n < kSectorSlots; ++n) key.Add((*sectors)[static_cast<size_t>(n)].bytes());
  for (int k = 0; k < PieceTable::kKinds; ++k) {
    const PieceKind& kind = map.pieces()[static_cast<size_t>(k)];
    key.Add(std::to_string(kind.value) + "," + std::to_string(kind.category) + ";");
  }
  for (const AllianceRow& row : map.alliances())
    for (int32_t country : row) key.Add(std::to_string(country) + ",");
  if (const SectorGrid* grid = map.grid())
    key.Add(std::to_string(grid->width()) + "x" + std::to_string(grid->height()) + ":" +
            std::to_string(GridDigest(map.sharedGrid())));
  return key.HexDigest();
}

std::vector<uint8_t> EncodeFigures(const std::vector<CountryFigures>& countries) {
  std::vector<uint8_t> bytes;
  bytes.reserve(countries.size() * kFiguresRecord);
  const auto put = [&](uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
  };
  for (const CountryFigures& c : countries) {
    put(c.country);
    for (int16_t v : c.shown) put(static_cast<uint16_t>(v));
  }
  return bytes;
}

std::optional<std::vector<CountryFigures>> DecodeFigures(std::span<const uint8_t> bytes) {
  if (bytes.size() % kFiguresRecord != 0) return std::nullopt;
  std::vector<CountryFigures> countries(bytes.size() / kFiguresRecord);
  const auto get = [&](size_t at) { return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8); };
  for (size_t i = 0; i < countries.size(); ++i) {
    const size_t at = i * kFiguresRecord;
    countries[i].country = get(at);
    for (size_t k = 0; k < 5; ++k)
      countries[i].shown[k] = static_cast<int16_t>(get(at + 2 + 2 * k));
    // In order of country and each once, as FiguresOf makes them: TurnFigures::Of relies on it.
    if (countries[i].country == 0 || countries[i].country >= kCountrySlots ||
        (i > 0 && countries[i].country <= countries[i - 1].country))
      return std::nullopt;
  }
  return countries;
}

void AddFigures(NewTurn& turn, const Position& map, const Position& board,
                std::span<const TurnFigures> known) {
  if (!map.grid()) return;
  turn.figuresMap = FiguresMapKey(map);
  turn.figures = EncodeFigures(FiguresOf(board, {}).countries);
  for (const TurnFigures& t : known)
    if (!t.stored) turn.earlierFigures[t.turn.number] = EncodeFigures(t.countries);
}

CountryFigures TurnFigures::Of(uint16_t country) const {
  const auto it =
      std::lower_bound(countries.begin(), countries.end(), country,
                       [](const CountryFigures& f, uint16_t c) { return f.country < c; });
  return it != countries.end() && it->country == country ? *it : CountryFigures{country, {}};
}

TurnFigures FiguresOf(const Position& position, const Turn& turn) {
  TurnFigures figures{turn, {}};
  for (uint32_t c = 1; c < kCountrySlots; ++c) {
    const CountryTotal& t = position.totalOf(c);
    if (t == CountryTotal{}) continue;
    figures.countries.push_back(
        {static_cast<uint16_t>(c),
         {t.shownIpc(), t.shownConvoy(), t.shownOil(), t.shownLand(), t.shownNaval()}});
  }
  return figures;
}

Result<std::vector<TurnFigures>> GameFigures(const GameFile& game, const Position& map) {
  auto turns = game.Turns();
  if (!turns) return Result<std::vector<TurnFigures>>::Fail(turns.error());
  return FiguresOfTurns(game, map, *turns);
}

Result<std::vector<TurnFigures>> FiguresOfTurns(const GameFile& game, const Position& map,
                                                std::span<const Turn> turns) {
  using R = Result<std::vector<TurnFigures>>;
  // The stored ones first; one position, given the map once, takes every other turn in place.
  const auto stored = map.grid() ? game.StoredFigures(FiguresMapKey(map))
                                 : Result<std::map<int64_t, std::vector<uint8_t>>>::Ok({});
  if (!stored) return R::Fail(stored.error());
  std::optional<Position> position;
  std::vector<TurnFigures> figures;
  figures.reserve(turns.size());
  for (const Turn& turn : turns) {
    if (const auto it = stored->find(turn.number); it != stored->end())
      if (auto countries = DecodeFigures(it->second)) {
        figures.push_back({turn, std::move(*countries), true});
        continue;
      }
    if (!position) TakeMapOf(position.emplace(), map);
    auto bytes = game.PositionOf(turn.number);
    if (!bytes) return R::Fail(bytes.error());
    LoadPositionBytes(*position, *bytes);
    position->SettleOnMap();
    figures.push_back(FiguresOf(*position, turn));
  }
  return R::Ok(std::move(figures));
}

std::vector<uint16_t> CountriesOf(const std::vector<TurnFigures>& figures) {
  std::vector<uint16_t> countries;
  for (const TurnFigures& turn : figures)
    for (const CountryFigures& f : turn.countries) countries.push_back(f.country);
  std::sort(countries.begin(), countries.end());
  countries.erase(std::unique(countries.begin(), countries.end()), countries.end());
  return countries;
}

}  // namespace mw
