// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmarks of the suite on the stress package, each beside the floor it is measured against in
// the same run, so that the ratio holds on a noisy machine. Run with the folder the stress
// package was written to as STRESS_DIR (the build sets it).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cstring>
#include <filesystem>
#include <memory>

#include "FileBytes.h"
#include "Modifiers.h"
#include "NullHost.h"
#include "PositionFile.h"
#include "Processes.h"
#include "Recovery.h"
#include "Viewer.h"

namespace {

namespace fs = std::filesystem;
const fs::path kStress = STRESS_DIR;

mw::NullHost host(true);

// A viewer on the stress map with a position of `units` units.
std::unique_ptr<mw::Viewer> StressViewer(int units) {
  auto viewer = std::make_unique<mw::Viewer>(host, kStress);
  const std::string name = units == 100000  ? "Stress100k"
                           : units == 10000 ? "Stress10k"
                                            : "Stress1k";
  viewer->Start((kStress / (name + ".QPX")).string());
  return viewer;
}

std::vector<uint8_t> ReadAll(const fs::path& p) { return mw::ReadFileBytes(p).value(); }

// --- loading a package ---------------------------------------------------------------------------

// The package's grid and picture are marked changed before each load, which then maps them
// afresh, as a first load does: a file loaded again unchanged shares the mapping of the load
// before. A load reads no pixel (the view decodes what it shows) and no cell but those under
// the stacks.
void MarkChanged() {
  for (const char* file : {"SektorInfo.map", "Map.bmp"})
    fs::last_write_time(kStress / "Strs.gim" / file, fs::file_time_type::clock::now());
}

void LoadMapPackage(benchmark::State& state) {
  auto viewer = StressViewer(1000);
  for (auto _ : state) {
    state.PauseTiming();
    MarkChanged();
    state.ResumeTiming();
    viewer->board().LoadMapPackage("Strs");
  }
}
BENCHMARK(LoadMapPackage)->Unit(benchmark::kMillisecond);

// The least work of that load: the package's small files read whole from the page cache into
// memory touched before, the picture's first 64 KiB (its headers), and the grid mapped afresh
// and read under each of the position's stacks.
void LoadMapPackageFloor(benchmark::State& state) {
  auto viewer = StressViewer(1000);
  std::vector<std::pair<int, int>> stacks;
  for (size_t i = 0; i < viewer->position().unitCount(); ++i)
    stacks.emplace_back(viewer->position().unit(i).x, viewer->position().unit(i).y);
  std::vector<std::pair<fs::path, std::vector<uint8_t>>> files;
  for (const auto& e : fs::directory_iterator(kStress / "Strs.gim"))
    files.emplace_back(e.path(), std::vector<uint8_t>(e.file_size() + 1, 1));
  for (auto _ : state) {
    size_t total = 0;
    for (auto& [path, buffer] : files) {
      const int fd = ::open(path.c_str(), O_RDONLY);
      if (path.filename() == "SektorInfo.map") {
        const size_t size = buffer.size() - 1;
        const auto* cells =
            static_cast<const uint8_t*>(::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0));
        int32_t width = 0;
        std::memcpy(&width, cells, 4);
        for (const auto& [x, y] : stacks)
          total += cells[8 + 2 * (static_cast<size_t>(y) * static_cast<size_t>(width) +
                                  static_cast<size_t>(x))];
        ::munmap(const_cast<uint8_t*>(cells), size);
      } else {
        const size_t most = path.filename() == "Map.bmp" ? 64 * 1024 : buffer.size();
        for (ssize_t n; (n = ::read(fd, buffer.data(), most)) > 0 && most == buffer.size();)
          total += static_cast<size_t>(n);
      }
      ::close(fd);
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(LoadMapPackageFloor)->Unit(benchmark::kMillisecond);

// --- the map view --------------------------------------------------------------------------------

void RedrawMapRegion(benchmark::State& state) {
  auto viewer = StressViewer(1000);
  for (int i = 0; i < state.range(0); ++i) viewer->view().ZoomIn();
  const mw::ViewState& v = viewer->view().state();
  // Band by band, as --render composes it.
  for (auto _ : state)
    for (int top = 0; top < v.scaledHeight; top += 256)
      benchmark::DoNotOptimize(viewer->view().ComposedRegion(QRect(0, top, v.scaledWidth, 256)));
  state.SetLabel("zoom " + std::to_string(viewer->view().state().zoom).substr(0, 3));
}
BENCHMARK(RedrawMapRegion)->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond);

void RedrawMapRegionFloor(benchmark::State& state) {
  auto viewer = StressViewer(1000);
  for (int i = 0; i < state.range(0); ++i) viewer->view().ZoomIn();
  const mw::ViewState& v = viewer->view().state();
  const QImage picture = viewer->view().ComposedRegion(QRect(0, 0, v.scaledWidth, v.scaledHeight));
  std::vector<uchar> copy(static_cast<size_t>(picture.sizeInBytes()));
  for (auto _ : state) {
    std::memcpy(copy.data(), picture.constBits(), copy.size());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(RedrawMapRegionFloor)->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond);

// --- one edit with its redraw --------------------------------------------------------------------

// Places a piece on an empty spot, then takes it away again: one edit per iteration.
void PlaceAndRemove(benchmark::State& state) {
  auto viewer = StressViewer(static_cast<int>(state.range(0)));
  viewer->editing().PaletteClick(QPoint(16, 11));
  const QPoint spot(600, 400);
  bool placed = false;
  for (auto _ : state) {
    if (!placed)
      viewer->MousePress(mw::MouseButton::kLeft, spot, mw::kNoModifiers);
    else
      viewer->MousePress(mw::MouseButton::kMiddle, spot, mw::kShift | mw::kCtrl);
    placed = !placed;
  }
}
BENCHMARK(PlaceAndRemove)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Picks a whole unit up and drops it at the other of two places: one move per iteration.
void PickUpAndDrop(benchmark::State& state) {
  auto viewer = StressViewer(static_cast<int>(state.range(0)));
  viewer->editing().PaletteClick(QPoint(16, 11));
  viewer->MousePress(mw::MouseButton::kLeft, QPoint(600, 400), mw::kNoModifiers);
  viewer->KeyRelease(mw::Key::kEscape);
  QPoint from(600, 400), to(700, 450);
  for (auto _ : state) {
    viewer->MousePress(mw::MouseButton::kLeft, from, mw::kShift | mw::kCtrl);
    viewer->MouseRelease(mw::MouseButton::kLeft, to);
    std::swap(from, to);
  }
}
BENCHMARK(PickUpAndDrop)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// --- totals --------------------------------------------------------------------------------------

// The viewer's position and map context in a position of the benchmark's own.
void CopyBoard(const mw::Position& from, mw::Position& to) {
  std::vector<mw::Unit> units;
  for (size_t i = 0; i < from.unitCount(); ++i) units.push_back(from.unit(i));
  to.ReplaceUnits(std::move(units));
  to.SetPieceTable(from.pieces());
  to.SetAlliances(from.alliances());
  if (from.sectorTable()) to.SetSectorTable(*from.sectorTable());
}

void RecomputeTotals(benchmark::State& state) {
  auto viewer = StressViewer(static_cast<int>(state.range(0)));
  mw::Position position;
  CopyBoard(viewer->position(), position);
  for (auto _ : state) position.RecomputeTotals();
}
BENCHMARK(RecomputeTotals)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// --- position files ------------------------------------------------------------------------------

const char* StressFile(int64_t stacks) {
  return stacks == 1000     ? "Stress1k.QPX"
         : stacks == 10000  ? "Stress10k.QPX"
         : stacks == 100000 ? "Stress100k.QPX"
                            : "Stress1M.QPX";
}

void LoadPosition(benchmark::State& state) {
  mw::Position p;
  const fs::path file = kStress / StressFile(state.range(0));
  for (auto _ : state) mw::LoadPosition(p, file);
}
BENCHMARK(LoadPosition)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);

// Reading the same bytes from the page cache into memory touched before.
void LoadPositionFloor(benchmark::State& state) {
  const fs::path file = kStress / StressFile(state.range(0));
  std::vector<uint8_t> buffer(fs::file_size(file) + 1);
  for (auto _ : state) {
    const int fd = ::open(file.c_str(), O_RDONLY);
    benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
    ::close(fd);
  }
}
BENCHMARK(LoadPositionFloor)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond);

// The least a load that keeps its stacks as records must do beyond reading: the same read, then
// each record's fields decoded into one array of records, nothing indexed or summed.
void LoadPositionDecodeFloor(benchmark::State& state) {
  const fs::path file = kStress / StressFile(state.range(0));
  std::vector<uint8_t> buffer(fs::file_size(file) + 1);
  std::vector<mw::Unit> units(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    const int fd = ::open(file.c_str(), O_RDONLY);
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    ::close(fd);
    const size_t head = mw::PositionHeader::kSize;
    const size_t count =
        std::min(units.size(), (static_cast<size_t>(got) - head) / mw::kUnitRecordSize);
    const uint8_t* r = buffer.data() + head;
    for (size_t i = 0; i < count; ++i, r += mw::kUnitRecordSize) {
      double x = 0, y = 0;
      std::memcpy(&x, r, 8);
      std::memcpy(&y, r + 8, 8);
      mw::Unit& u = units[i];
      u.x = static_cast<uint16_t>(std::clamp(x, 0.0, 65535.0));
      u.y = static_cast<uint16_t>(std::clamp(y, 0.0, 65535.0));
      u.pieceType = static_cast<uint8_t>(r[16] - 1);
      u.country = r[17];
      std::memcpy(&u.count, r + 18, 2);
      std::memcpy(&u.sector, r + 20, 2);
      u.slot = static_cast<uint32_t>(i);
    }
    benchmark::DoNotOptimize(units.data());
  }
}
BENCHMARK(LoadPositionDecodeFloor)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond);

void SavePosition(benchmark::State& state) {
  mw::Position p;
  mw::LoadPosition(p, kStress / "Stress100k.QPX");
  const auto target = fs::temp_directory_path() / "marrowind-bench.QPX";
  for (auto _ : state) mw::SavePosition(p, target);
  fs::remove(target);
}
BENCHMARK(SavePosition)->Unit(benchmark::kMillisecond);

// What the window does at a tick of the recovery copy while 100,000 stacks have unsaved changes:
// encode the board and hand the bytes to the writer's thread. The write itself, flushed to the
// disk, runs on that thread; the window waits for none of it.
void RecoveryCopyTick(benchmark::State& state) {
  mw::Position p;
  mw::LoadPosition(p, kStress / "Stress100k.QPX");
  const auto folder = fs::temp_directory_path() / "marrowind-bench-state";
  mw::RecoveryStore store(folder);
  store.Claim();
  for (auto _ : state) {
    if (!store.Write(mw::EncodePosition(p, false), "game.QPX")) {
      state.PauseTiming();
      store.Wait();
      state.ResumeTiming();
    }
  }
  store.Discard();
  fs::remove_all(folder);
}
BENCHMARK(RecoveryCopyTick)->Unit(benchmark::kMillisecond);

// Writing the same number of bytes: plainly (range 0), flushed to the disk (range 1), and as the
// least a save that must survive a crash can do (range 2): into a new file beside the target,
// flushed, renamed over it, and the folder flushed so that the rename lasts.
void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes, int how) {
  const fs::path written = how == 2 ? fs::path(path.string() + ".new") : path;
  const int fd = ::open(written.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  for (size_t done = 0; done < bytes.size();)
    done += static_cast<size_t>(::write(fd, bytes.data() + done, bytes.size() - done));
  if (how >= 1) ::fsync(fd);
  ::close(fd);
  if (how == 2) {
    ::rename(written.c_str(), path.c_str());
    const int folder = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    ::fsync(folder);
    ::close(folder);
  }
}

void SavePositionFloor(benchmark::State& state) {
  const auto bytes = ReadAll(kStress / "Stress100k.QPX");
  const auto target = fs::temp_directory_path() / "marrowind-bench-floor";
  const int how = static_cast<int>(state.range(0));
  for (auto _ : state) WriteBytes(target, bytes, how);
  fs::remove(target);
  state.SetLabel(how == 2 ? "write + fsync + rename" : how == 1 ? "write + fsync" : "write");
}
BENCHMARK(SavePositionFloor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// --- whole processes -----------------------------------------------------------------------------

// Runs a tool on an input and, where one is given, an output.
void RunTool(const std::string& tool, const fs::path& in, const fs::path& out) {
  if (out.empty()) {
    bench::RunProcess(tool, {in.string()});
    return;
  }
  bench::RunProcess(tool, {in.string(), out.string()});
}

// `Marrowind --totals` of the start position (range 0) and of a position of 1,000,000 stacks
// (range 1) on the stress map. The program finds its maps beside itself, so it runs as a hard
// link in the stress folder. What the second run costs beyond the first is what the stacks cost.
void TotalsProcess(benchmark::State& state) {
  const fs::path program = bench::ProgramBeside(fs::path(TOOLS_DIR) / "Marrowind", kStress);
  const fs::path position =
      state.range(0) ? kStress / "Stress1M.QPX" : kStress / "Strs.gim/Start.QPX";
  for (auto _ : state) bench::RunProcess(program.string(), {"--totals", position.string()});
  state.SetLabel(state.range(0) ? "1,000,000 stacks" : "start position");
}
BENCHMARK(TotalsProcess)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The least work of the same report: mapping the grid and the position, the sector of each stack,
// the sum of its pieces, in a plain C program.
void TotalsFloor(benchmark::State& state) {
  for (auto _ : state)
    RunTool(TOTALS_FLOOR, kStress / "Strs.gim/SektorInfo.map", kStress / "Stress1M.QPX");
}
BENCHMARK(TotalsFloor)->Unit(benchmark::kMillisecond);

const char* ToolName(int64_t i) { return i == 0 ? "pal2sect" : i == 1 ? "rgb2sect" : "vorn"; }
fs::path ToolInput(int64_t i) {
  return kStress / (i == 0 ? "sectors8.bmp" : i == 1 ? "sectors24.bmp" : "sectors.txt");
}

void Tool(benchmark::State& state) {
  const std::string tool = std::string(TOOLS_DIR) + "/" + ToolName(state.range(0));
  const auto out = fs::temp_directory_path() / "marrowind-bench-tool";
  for (auto _ : state) RunTool(tool, ToolInput(state.range(0)), out);
  fs::remove(out);
  state.SetLabel(ToolName(state.range(0)));
}
BENCHMARK(Tool)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Copying the input and the output bytes, as whole processes too: cp copies the input, and as many
// bytes as the tool writes are written and flushed, as the tool flushes them.
void ToolFloor(benchmark::State& state) {
  const int64_t i = state.range(0);
  const std::string tool = std::string(TOOLS_DIR) + "/" + ToolName(i);
  const auto out = fs::temp_directory_path() / "marrowind-bench-tool";
  RunTool(tool, ToolInput(i), out);
  const std::vector<uint8_t> output(fs::file_size(out), 1);
  const auto copy = fs::temp_directory_path() / "marrowind-bench-copy";
  const auto target = fs::temp_directory_path() / "marrowind-bench-floor";
  for (auto _ : state) {
    RunTool("/bin/cp", ToolInput(i), copy);
    WriteBytes(target, output, true);
  }
  for (const auto& f : {out, copy, target}) fs::remove(f);
  state.SetLabel(ToolName(i));
}
BENCHMARK(ToolFloor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
