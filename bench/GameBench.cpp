// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmarks of a game of 1,000 turns of 10,000 stacks each on the stress map, each against
// loading one such position from its file. The game is written to FOLDER (default: a temporary
// folder) on the first run and kept there: about 250 MB, recorded turn by turn.
// Run: <build>/bin/marrowind_game_bench [FOLDER]
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QChartView>
#include <cstdio>
#include <filesystem>
#include <random>

#include "FileBytes.h"
#include "GameFigures.h"
#include "GameFile.h"
#include "GameWindows.h"
#include "NullHost.h"
#include "PositionFile.h"
#include "Viewer.h"

namespace {

namespace fs = std::filesystem;
const fs::path kStress = STRESS_DIR;
constexpr int kTurns = 1000;
fs::path where;

mw::NullHost host(true);

// A host whose event loop paints between a command and what the command kept for after the
// paint: the timings to the first paint end where the command returns, and that work runs
// outside them.
class PaintingHost : public mw::NullHost {
 public:
  PaintingHost() : NullHost(true) {}
  void AfterPaint(std::function<void()> task) override { later_.push_back(std::move(task)); }
  void Paint() {
    for (auto tasks = std::exchange(later_, {}); auto& task : tasks) task();
  }
  void Paint(benchmark::State& state) {
    state.PauseTiming();
    Paint();
    state.ResumeTiming();
  }

 private:
  std::vector<std::function<void()>> later_;
};

fs::path GamePath() { return where / "war-1000x10k-schema4-settled.mwgame"; }
fs::path TurnPath() { return where / "turn500.QPX"; }

mw::Viewer& MapViewer();

// Each turn moves 200 of the 10,000 stacks of the stress position to other places of the map.
// The turns are recorded as the window records them, with their totals.
void WriteGame() {
  if (fs::exists(GamePath())) return;
  mw::Position position;
  if (!mw::LoadPosition(position, kStress / "Stress10k.QPX")) std::abort();
  const fs::path partial = where / "partial.mwgame";
  fs::remove(partial);
  auto game = mw::GameFile::Create(partial, position.mapName(), "Stress");
  if (!game) std::abort();
  std::mt19937 random(1000);
  std::uniform_int_distribution<size_t> which(0, position.unitCount() - 1);
  std::uniform_int_distribution<int> x(0, 4095), y(0, 3071);
  mw::Position board;
  mw::TakeMapOf(board, MapViewer().position());
  std::vector<mw::Unit> units;
  for (size_t i = 0; i < position.unitCount(); ++i) units.push_back(position.unit(i));
  for (int turn = 1; turn <= kTurns; ++turn) {
    for (int moved = 0; moved < 200; ++moved) {
      mw::Unit& u = units[which(random)];
      u.x = static_cast<int16_t>(x(random));
      u.y = static_cast<int16_t>(y(random));
    }
    position.ReplaceUnits(units);
    mw::LoadPositionBytes(board, mw::EncodePosition(position, false));
    board.SettleOnMap();
    // The board's bytes, each stack with the sector under it, as Record Turn stores them.
    const auto bytes = mw::EncodePosition(board, false);
    mw::NewTurn made{bytes, {}, {}, {}, {}, {}, {}, {}, {}};
    mw::AddFigures(made, MapViewer().position(), board, {});
    if (!game->Record(made)) std::abort();
    if (turn == 500 && !mw::WriteFileAtomically(TurnPath(), bytes)) std::abort();
  }
  fs::rename(partial, GamePath());
}

// A viewer with the stress package loaded, whose board lends its map to the positions read.
mw::Viewer& MapViewer() {
  static mw::Viewer viewer(host, kStress);
  static bool started = false;
  if (!started) viewer.Start((kStress / "Stress10k.QPX").string());
  started = true;
  return viewer;
}

// What the others are measured against: a turn's position loaded from its own file, given its
// sectors and totals.
void GameLoadPosition(benchmark::State& state) {
  mw::Position position;
  mw::TakeMapOf(position, MapViewer().position());
  for (auto _ : state) {
    mw::LoadPosition(position, TurnPath());
    position.SettleOnMap();
  }
}
BENCHMARK(GameLoadPosition)->Unit(benchmark::kMillisecond);

// The same position read from the game.
void GameReadTurn(benchmark::State& state) {
  auto game = mw::GameFile::Open(GamePath());
  mw::Position position;
  mw::TakeMapOf(position, MapViewer().position());
  for (auto _ : state) {
    mw::LoadPositionBytes(position, game->PositionOf(500).value());
    position.SettleOnMap();
  }
}
BENCHMARK(GameReadTurn)->Unit(benchmark::kMillisecond);

// Alt+Left and Alt+Right in the window, to the first paint: the turn on the board. Its comparison
// with the turn before it comes after the paint, outside the timing.
void GameStep(benchmark::State& state) {
  PaintingHost painting;
  mw::Viewer viewer(painting, kStress);
  viewer.Start(GamePath().string());
  painting.Paint();
  int64_t turn = 500;
  for (auto _ : state) {
    viewer.games().GoToTurn(turn = turn == 500 ? 501 : 500);
    painting.Paint(state);
  }
}
BENCHMARK(GameStep)->Unit(benchmark::kMillisecond);

// The same step whole: the turn compared with the one before it.
void GameStepWhole(benchmark::State& state) {
  mw::Viewer viewer(host, kStress);
  viewer.Start(GamePath().string());
  int64_t turn = 500;
  for (auto _ : state) viewer.games().GoToTurn(turn = turn == 500 ? 501 : 500);
}
BENCHMARK(GameStepWhole)->Unit(benchmark::kMillisecond);

// Opening the same position's file in the window, its package loaded again with it.
void GameOpenPosition(benchmark::State& state) {
  mw::Viewer viewer(host, kStress);
  viewer.Start(TurnPath().string());
  for (auto _ : state) viewer.OpenFile(TurnPath().string());
}
BENCHMARK(GameOpenPosition)->Unit(benchmark::kMillisecond);

// Streams 64 MiB through the processor's caches, which leaves in them none of what a run read.
// A player opens a file once in a while, never in a loop: the caches are as the rest of the
// desktop left them.
void EmptyCaches(benchmark::State& state) {
  static std::vector<uint64_t> other(8 << 20);
  static uint64_t round = 0;
  state.PauseTiming();
  ++round;
  for (uint64_t& word : other) word += round;
  benchmark::DoNotOptimize(other.data());
  state.ResumeTiming();
}

// The same, each opening made with the caches emptied before it.
void GameOpenPositionCold(benchmark::State& state) {
  mw::Viewer viewer(host, kStress);
  viewer.Start(TurnPath().string());
  for (auto _ : state) {
    EmptyCaches(state);
    viewer.OpenFile(TurnPath().string());
  }
}
BENCHMARK(GameOpenPositionCold)->Unit(benchmark::kMillisecond);

// Opening the game in the window at its last turn ("Open Game ..."), to the first paint: the turn
// on the board. The turns, their totals for the History, and the comparison with the turn before
// come after the paint, outside the timing, and the check of every page the opening started ends
// before the next opening, as it does long before a player opens a game again. Each opening is
// made with the caches emptied before it.
void GameOpenInWindow(benchmark::State& state) {
  PaintingHost painting;
  mw::Viewer viewer(painting, kStress);
  viewer.Start(TurnPath().string());
  painting.Paint();
  for (auto _ : state) {
    EmptyCaches(state);
    if (!viewer.games().OpenGameAt(GamePath().string())) std::abort();
    state.PauseTiming();
    painting.Paint();
    viewer.games().AwaitPageCheck();
    state.ResumeTiming();
  }
}
BENCHMARK(GameOpenInWindow)->Unit(benchmark::kMillisecond);

// The same opening whole: the turn compared with the one before it, every turn's totals read.
void GameOpenInWindowWhole(benchmark::State& state) {
  mw::Viewer viewer(host, kStress);
  viewer.Start(TurnPath().string());
  for (auto _ : state)
    if (!viewer.games().OpenGameAt(GamePath().string())) std::abort();
}
BENCHMARK(GameOpenInWindowWhole)->Unit(benchmark::kMillisecond);

// Opening the game file and listing its turns.
void GameOpenFile(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(mw::GameFile::Open(GamePath())->Turns());
}
BENCHMARK(GameOpenFile)->Unit(benchmark::kMillisecond);

// Every turn's totals, as the History window and the chart show them: those the game stores.
void GameFigures(benchmark::State& state) {
  auto game = mw::GameFile::Open(GamePath());
  for (auto _ : state)
    benchmark::DoNotOptimize(mw::GameFigures(*game, MapViewer().position()).value());
}
BENCHMARK(GameFigures)->Unit(benchmark::kMillisecond);

// A turn of 10,000 stacks recorded as `--record` records it (the game opened, the turn it was
// made from looked for, the turn committed to the disk) into a game of its own (range 0) and
// into a copy of the game of 1,000 turns (range 1).
void GameRecord(benchmark::State& state) {
  const fs::path path = where / "recording.mwgame";
  fs::remove(path);
  if (state.range(0) != 0) {
    // The copy is flushed before the timing begins: its writeback would land in the timed turns.
    fs::copy_file(GamePath(), path);
    const int fd = ::open(path.c_str(), O_RDONLY);
    ::fsync(fd);
    ::close(fd);
  } else {
    mw::GameFile::Create(path, "Strs", "Stress");
  }
  auto bytes = mw::ReadFileBytes(TurnPath()).value();
  bytes.back() ^= 1;  // a position of no turn: the search for its parent reads what it must
  for (auto _ : state) {
    auto game = mw::GameFile::Open(path, true);
    const auto parent = game->TurnHolding(bytes);
    benchmark::DoNotOptimize(game->Record({bytes, {}, {}, *parent, {}, {}, {}, {}, {}}));
  }
  fs::remove(path);
}
BENCHMARK(GameRecord)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The Trends chart of the 1,000 turns made and drawn, 800 x 500.
void GameChart(benchmark::State& state) {
  auto game = mw::GameFile::Open(GamePath());
  mw::GameHistory history;
  history.turns = mw::GameFigures(*game, MapViewer().position()).value();
  history.countries = mw::CountriesOf(history.turns);
  history.colours.assign(history.countries.size(), 0xff336699);
  mw::TrendsWindow trends(nullptr);
  trends.resize(800, 500);
  for (auto _ : state) {
    trends.SetHistory(history);
    benchmark::DoNotOptimize(trends.findChild<QChartView*>()->grab());
  }
}
BENCHMARK(GameChart)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  where = fs::temp_directory_path() / "marrowind-game";
  std::vector<char*> rest{argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]).starts_with("--"))
      rest.push_back(argv[i]);
    else
      where = argv[i];
  }
  fs::create_directories(where);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int count = static_cast<int>(rest.size());
  QApplication app(count, rest.data());
  WriteGame();
  benchmark::Initialize(&count, rest.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
