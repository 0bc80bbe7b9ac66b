// SPDX-License-Identifier: GPL-3.0-or-later
// Big maps against the bundled one: a generated map of 10,000 x 8,000 pixels with 100,000 stacks
// and the Isles of Tess (1,200 x 800), both seen through a map area of 1920 x 1080, a maximised
// window on a common screen. Each operation runs on both in the same run; what counts is the
// ratio. The big package is written on the first run into the folder given as the first
// argument (400 MB), or <temp>/marrowind-bigmap.
//
// Run: marrowind_bigmap_bench [FOLDER] [benchmark options]; with --peak-memory it prints the
// most memory a viewer takes showing the big map at every zoom level instead.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "BmpRows.h"
#include "ByteOrder.h"
#include "FileBytes.h"
#include "LargeMemory.h"
#include "MainWindow.h"
#include "MapWidget.h"
#include "NullHost.h"
#include "Picture.h"
#include "PositionCompare.h"
#include "PositionFile.h"
#include "Processes.h"
#include "SectorTable.h"
#include "Viewer.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 10000, kHeight = 8000, kCellW = 500, kCellH = 400, kStacks = 100000;
const QSize kClient(1920, 1080);
fs::path folder;  // holds Big.gim and a link to Tess.gim

// A maximised window whose map area is 1920 x 1080, or the picture's size where that is smaller.
class WindowHost : public mw::NullHost {
 public:
  WindowHost() : NullHost(true) {}
  QSize ClientSize() override { return client_; }
  QSize MaximizedSize() override { return kClient; }
  bool IsMaximized() override { return true; }
  void ResizeWindow(QSize outer) override { client_ = outer.boundedTo(kClient); }
  void InvalidateMap(const QRect& r) override {
    dirty = dirty.united(r.isNull() ? QRect(QPoint(), client_) : r);
  }
  QRect dirty;

 private:
  QSize client_ = kClient;
};

void WriteBigPackage(const fs::path& gim) {
  fs::create_directories(gim);
  const fs::path tess = fs::path(MAP_PACKAGES_DIR) / "Tess.gim";
  for (const char* file : {"ToolPieces.txt", "ToolPieces.bmp", "BigPieces.bmp"})
    fs::copy_file(tess / file, gim / file, fs::copy_options::overwrite_existing);
  std::FILE* info = std::fopen((gim / "MapInfo.txt").c_str(), "w");
  std::fputs("The Big Map\nallied 1 2 3\nallied 4 5\n", info);
  std::fclose(info);
  // Cells of 500 x 400 with dark one-pixel borders, each a sector of its own colour.
  const auto sectorAt = [](int x, int y) {
    return (y / kCellH) * (kWidth / kCellW) + x / kCellW + 1;
  };
  mw::BmpRows picture;
  picture.width = kWidth;
  picture.height = kHeight;
  picture.bitsPerPixel = 24;
  picture.rowLength = static_cast<size_t>((kWidth * 24 + 31) / 32 * 4);
  picture.pixels.resize(picture.rowLength * kHeight);
  mw::SectorGrid grid(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = picture.pixels.data() + static_cast<size_t>(y) * picture.rowLength;
    for (int x = 0; x < kWidth; ++x) {
      const int n = sectorAt(x, y);
      const bool border = x % kCellW == 0 || y % kCellH == 0;
      row[3 * x] = border ? 20 : static_cast<uint8_t>(90 + n * 7 % 120 + (x ^ y) % 9);
      row[3 * x + 1] = border ? 20 : static_cast<uint8_t>(120 + n * 13 % 100);
      row[3 * x + 2] = border ? 20 : static_cast<uint8_t>(100 + n * 29 % 120);
      grid.setValue(x, y, static_cast<uint16_t>(n));
    }
  }
  mw::WriteFileAtomically(gim / "Map.bmp", mw::EncodeBmp(picture));
  picture.pixels = {};
  grid.WriteFile(gim / "SektorInfo.map");
  std::vector<uint8_t> table;
  for (int n = 1; n <= (kWidth / kCellW) * (kHeight / kCellH); ++n) {
    mw::SectorRecord r;
    const std::string name = "Region " + std::to_string(n);
    std::copy(name.begin(), name.end(), r.bytes().begin() + 1);
    r.bytes()[0] = static_cast<uint8_t>(name.size());
    r.setValue(1, static_cast<uint32_t>((1 + n % 9) << 16 | (1 + n % 5) << 8));
    r.setLabelX(((n - 1) % (kWidth / kCellW)) * kCellW + 30);
    r.setLabelY(((n - 1) / (kWidth / kCellW)) * kCellH + 30);
    table.insert(table.end(), r.bytes().begin(), r.bytes().end());
  }
  mw::WriteFileAtomically(gim / "SektorInfo.sek", table);
  std::mt19937 random(1);
  std::vector<mw::Unit> units;
  for (int i = 0; i < kStacks; ++i) {
    mw::Unit u;
    u.x = static_cast<uint16_t>(std::uniform_int_distribution<int>(5, kWidth - 30)(random));
    u.y = static_cast<uint16_t>(std::uniform_int_distribution<int>(5, kHeight - 5)(random));
    u.pieceType = static_cast<uint8_t>(std::uniform_int_distribution<int>(0, 13)(random));
    // Countries 1 to 7: the edit places a piece of country 8, a new stack wherever it goes.
    u.country = static_cast<uint8_t>(std::uniform_int_distribution<int>(1, 7)(random));
    u.count = static_cast<uint16_t>(std::uniform_int_distribution<int>(1, 20)(random));
    units.push_back(u);
  }
  mw::Position start;
  start.ReplaceUnits(std::move(units));
  start.header().setMapName("Big");
  mw::SavePosition(start, gim / "Start.QPX");
}

void Prepare(const fs::path& where) {
  folder = where;
  if (!fs::exists(folder / "Big.gim" / "Start.QPX")) {
    std::fprintf(stderr, "writing the big package into %s ...\n", folder.c_str());
    WriteBigPackage(folder / "Big.gim");
  }
  if (!fs::exists(folder / "Tess.gim"))
    fs::create_directory_symlink(fs::path(MAP_PACKAGES_DIR) / "Tess.gim", folder / "Tess.gim");
}

// A viewer on one of the two maps, its start position loaded.
struct Shown {
  explicit Shown(const std::string& map) : viewer(host, folder) {
    viewer.Start((folder / (map + ".gim") / "Start.QPX").string());
    Paint();
  }
  // Paints what the window would: the whole map area after a zoom or scroll, else what the
  // last change asked for.
  void Paint() {
    QPainter painter(&screen);
    viewer.view().Paint(painter, host.dirty.isNull() ? screen.rect() : host.dirty);
    host.dirty = QRect();
  }
  WindowHost host;
  mw::Viewer viewer;
  QImage screen{kClient, QImage::Format_RGB32};
};

const char* MapOf(const benchmark::State& state) { return state.range(0) ? "Big" : "Tess"; }

// One zoom step with the repaint of the map area: 1.6 to 1.7 and back, where both maps are
// larger than the map area.
void ZoomStep(benchmark::State& state) {
  Shown shown(MapOf(state));
  for (int i = 0; i < 6; ++i) shown.viewer.view().ZoomIn();
  shown.Paint();
  bool in = true;
  for (auto _ : state) {
    in ? shown.viewer.view().ZoomIn() : shown.viewer.view().ZoomOut();
    in = !in;
    shown.Paint();
  }
  state.SetLabel(MapOf(state));
}
BENCHMARK(ZoomStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A scroll of 100 pixels with the repaint, at zoom 1.6, down and up again: before each, only what
// the map area shows has been composed, so the scroll composes what comes into view.
void Scroll100(benchmark::State& state) {
  Shown shown(MapOf(state));
  for (int i = 0; i < 6; ++i) shown.viewer.view().ZoomIn();
  shown.Paint();
  int sign = 1;
  for (auto _ : state) {
    state.PauseTiming();
    shown.viewer.view().RedrawMapRegion();
    shown.Paint();
    state.ResumeTiming();
    shown.viewer.Wheel(QPoint(500, 500), QPoint(0, -100 * sign), false);
    sign = -sign;
    shown.Paint();
  }
  state.SetLabel(MapOf(state));
}
BENCHMARK(Scroll100)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The map area composed afresh, all of it, at zoom 1.0, 1.5 and 2.0 (the second argument in
// tenths): the picture scaled, every stack in view drawn with its count.
void Compose(benchmark::State& state) {
  Shown shown(MapOf(state));
  for (int64_t z = 10; z < state.range(1); ++z) shown.viewer.view().ZoomIn();
  const QRect area(QPoint(), kClient);
  for (auto _ : state) benchmark::DoNotOptimize(shown.viewer.view().ComposedRegion(area));
  state.SetLabel(MapOf(state));
}
BENCHMARK(Compose)->ArgsProduct({{0, 1}, {10, 15, 20}})->Unit(benchmark::kMillisecond);

// The least work of the same composition, written as plain loops over pixels: each pixel of the
// map area taken from the source pixel under its centre (every zoom measured enlarges), each
// stack whose cell falls in the area given its piece's cell, copied, and each count above one its
// digits, blended from glyphs drawn once before. The decoded picture, the pieces and the glyphs
// are ready before the timing, as a program that composes view after view would have them; the
// area's memory is written, never cleared.
void ComposeFloor(benchmark::State& state) {
  Shown shown(MapOf(state));
  for (int64_t z = 10; z < state.range(1); ++z) shown.viewer.view().ZoomIn();
  const double zoom = static_cast<double>(state.range(1)) / 10;
  const QImage picture = shown.viewer.map().mapPicture.Whole();
  const QImage pieces = shown.viewer.map().piecesPicture.convertToFormat(QImage::Format_RGB32);
  const mw::MapState& map = shown.viewer.map();
  struct Stack {
    int x, y, type, country, count;
  };
  std::vector<Stack> stacks;
  for (size_t i = 0; i < shown.viewer.position().unitCount(); ++i) {
    const mw::Unit& u = shown.viewer.position().unit(i);
    stacks.push_back({u.x, u.y, u.pieceType, u.country, u.count});
  }
  // Glyphs of the ten digits in the counts' font: coverage 0 to 255, one row after another.
  QFont font;
  font.setPixelSize(12);
  font.setBold(true);
  const QFontMetrics metrics(font);
  const int glyphH = metrics.height();
  std::vector<std::vector<uint8_t>> glyphs(10);
  std::vector<int> glyphW(10);
  for (int d = 0; d < 10; ++d) {
    glyphW[d] = metrics.horizontalAdvance(QChar('0' + d));
    QImage g(glyphW[d], glyphH, QImage::Format_Grayscale8);
    g.fill(0);
    QPainter painter(&g);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(0, metrics.ascent(), QString(QChar('0' + d)));
    painter.end();
    for (int y = 0; y < glyphH; ++y)
      glyphs[d].insert(glyphs[d].end(), g.constScanLine(y), g.constScanLine(y) + glyphW[d]);
  }
  const int sourceW = picture.width(), sourceH = picture.height();
  const int scaledW = static_cast<int>(sourceW * zoom), scaledH = static_cast<int>(sourceH * zoom);
  // What the map area shows: all of it, or the whole picture where that is smaller.
  const int w = std::min(kClient.width(), scaledW), h = std::min(kClient.height(), scaledH);
  std::vector<uint32_t> out(static_cast<size_t>(w) * h);
  std::vector<int> columns(w), rows(h);
  for (auto _ : state) {
    for (int x = 0; x < w; ++x)
      columns[x] = static_cast<int>((2LL * x + 1) * sourceW / (2LL * scaledW));
    for (int y = 0; y < h; ++y)
      rows[y] = static_cast<int>((2LL * y + 1) * sourceH / (2LL * scaledH));
    for (int y = 0; y < h; ++y) {
      const auto* in = reinterpret_cast<const uint32_t*>(picture.constScanLine(rows[y]));
      uint32_t* to = out.data() + static_cast<size_t>(y) * w;
      if (scaledW == sourceW)
        std::memcpy(to, in, 4 * static_cast<size_t>(w));
      else
        for (int x = 0; x < w; ++x) to[x] = in[columns[x]];
    }
    for (const Stack& s : stacks) {
      const int cx = static_cast<int>(s.x * zoom), cy = static_cast<int>(s.y * zoom);
      const int left = cx - map.pieceHalfWidth, top = cy - map.pieceHalfHeight;
      if (left >= w || top >= h || left + map.pieceCellWidth + 80 < 0 ||
          top + map.pieceCellHeight < 0)
        continue;
      const QRect cell = map.cell(s.type, s.country);
      for (int y = std::max(0, -top); y < map.pieceCellHeight && top + y < h; ++y) {
        const auto* in =
            reinterpret_cast<const uint32_t*>(pieces.constScanLine(cell.top() + y)) + cell.left();
        uint32_t* to = out.data() + static_cast<size_t>(top + y) * w;
        for (int x = std::max(0, -left); x < map.pieceCellWidth && left + x < w; ++x)
          to[left + x] = in[x];
      }
      if (s.count < 2) continue;
      char digits[8];
      const int n = std::snprintf(digits, sizeof digits, "%d", s.count);
      int gx = cx + map.pieceHalfWidth + 2;
      const int gy = cy - 7;
      for (int k = 0; k < n; ++k) {
        const int d = digits[k] - '0';
        for (int y = std::max(0, -gy); y < glyphH && gy + y < h; ++y) {
          const uint8_t* cover = glyphs[d].data() + static_cast<size_t>(y) * glyphW[d];
          uint32_t* to = out.data() + static_cast<size_t>(gy + y) * w;
          for (int x = std::max(0, -gx); x < glyphW[d] && gx + x < w; ++x)
            if (const uint32_t a = cover[x]) {
              const uint32_t c = to[gx + x];
              // Black text: each channel scaled by what the glyph leaves uncovered.
              to[gx + x] = 0xff000000u | (((c >> 16 & 0xff) * (255 - a) / 255) << 16) |
                           (((c >> 8 & 0xff) * (255 - a) / 255) << 8) |
                           ((c & 0xff) * (255 - a) / 255);
            }
        }
        gx += glyphW[d];
      }
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetLabel(MapOf(state));
}
BENCHMARK(ComposeFloor)->ArgsProduct({{0, 1}, {10, 15, 20}})->Unit(benchmark::kMillisecond);

// Placing a piece where no other stack is drawn in the area the edit repaints (a new stack) and
// taking the placement back, each with its repaint, at zoom 1.0: what an edit itself costs, apart
// from how densely the map around it is covered.
void EditWithRedraw(benchmark::State& state) {
  Shown shown(MapOf(state));
  shown.viewer.editing().PaletteClick(QPoint(20, 75));  // an infantry piece of country 8
  const mw::Position& p = shown.viewer.position();
  const QSize size = shown.viewer.map().mapPicture.size();
  QPoint spot(-1, -1);
  for (int y = 100; y < size.height() - 100 && spot.x() < 0; y += 23)
    for (int x = 100; x < size.width() - 100 && spot.x() < 0; x += 29)
      if (p.grid()->sectorAt(x, y) != 0 && p.UnitsIn(x - 45, y - 20, x + 45, y + 20).empty())
        spot = {x, y};
  if (spot.x() < 0) return state.SkipWithError("no empty spot");
  shown.viewer.view().CenterOn(spot);
  shown.host.dirty = QRect();
  shown.Paint();
  const QPoint at = shown.viewer.view().MapToClient(spot);
  const size_t units = p.unitCount();
  for (auto _ : state) {
    shown.viewer.MousePress(mw::MouseButton::kLeft, at, 0);
    shown.Paint();
    shown.viewer.Command(mw::command::kUndo);
    shown.Paint();
  }
  if (p.unitCount() != units) state.SkipWithError("the edits did not come back");
  state.SetLabel(MapOf(state));
}
BENCHMARK(EditWithRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same zoom step in the real window, maximised on a screen of 1920 x 1080: the key goes to
// the map as a user's would, and the step ends when the window has painted and handed its picture
// on (to the X server under one, to memory offscreen). What the window adds to the composition
// shows beside ZoomStep. Arguments: the map, and the steps in before (6: 1.6 to 1.7 and back,
// both maps larger than the map area; 0: 1.0 to 1.1 on the Isles of Tess, where the window's
// size follows the picture at every step).
class PaintWatch : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
  bool painted = false;
};

void ZoomStepWindow(benchmark::State& state) {
  const std::string map = MapOf(state);
  mw::MainWindow window(folder);
  window.Start((folder / (map + ".gim") / "Start.QPX").string());
  window.ShowMaximized();
  window.TakeKeys();
  QWidget* area = window.mapWidget();
  PaintWatch watch;
  area->installEventFilter(&watch);
  // Until the window shows the map and has no more to do.
  const auto settle = [&] {
    for (int i = 0; i < 50; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  };
  settle();
  const auto press = [&](Qt::Key key) {
    watch.painted = false;
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Plus ? "+" : "-");
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, key == Qt::Key_Plus ? "+" : "-");
    QApplication::sendEvent(area, &down);
    QApplication::sendEvent(area, &up);
    // The paint runs inside processEvents; the call that ran it returns once it is handed on.
    QElapsedTimer waited;
    waited.start();
    while (!watch.painted && waited.elapsed() < 2000)
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    return watch.painted;
  };
  const double start = window.viewer().view().state().zoom;
  for (int i = 0; i < state.range(1); ++i) press(Qt::Key_Plus);
  settle();
  if (window.viewer().view().state().zoom <
      start + 0.1 * static_cast<double>(state.range(1)) - 0.05)
    return state.SkipWithError("the keys did not zoom");
  bool in = true;
  for (auto _ : state) {
    if (!press(in ? Qt::Key_Plus : Qt::Key_Minus)) return state.SkipWithError("no repaint");
    in = !in;
  }
  settle();
  state.SetLabel(map + (QGuiApplication::platformName() == "xcb" ? " under X" : " offscreen"));
}
BENCHMARK(ZoomStepWindow)->Args({0, 6})->Args({1, 6})->Args({0, 0})->Unit(benchmark::kMillisecond);

// Loading the package with the first paint of the map area, and its floor: reading its files.
// Both run once before they are timed: the first big mapping of a process may wait while the
// kernel gathers huge pages, a cost of the machine's state that falls on whichever runs first
// (the page says what a fresh process pays).
//
// The package's grid and picture are marked changed before every load: a file loaded again
// unchanged shares the mapping of the load before, which a first load does not have.
void MarkChanged(const std::string& map) {
  for (const char* file : {"SektorInfo.map", "Map.bmp"})
    fs::last_write_time(folder / (map + ".gim") / file, fs::file_time_type::clock::now());
}

void LoadPackage(benchmark::State& state) {
  Shown shown(MapOf(state));
  shown.viewer.board().LoadMapPackage(MapOf(state));
  for (auto _ : state) {
    state.PauseTiming();
    MarkChanged(MapOf(state));
    state.ResumeTiming();
    shown.viewer.board().LoadMapPackage(MapOf(state));
    shown.Paint();
  }
  state.SetLabel(MapOf(state));
}
BENCHMARK(LoadPackage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The least work of a load with its first paint: every file of the package mapped (from the page
// cache), the pixels of the map area shown (its top left 1920 x 1080) turned from the picture's
// rows into 32-bit pixels in fresh memory, and every stack of the start position given the
// sector under its point.
uint64_t ReadPackageOnce(const fs::path& gim) {
  uint64_t sum = 0;
  struct Mapped {
    const uint8_t* bytes;
    size_t size;
  };
  std::vector<std::pair<std::string, Mapped>> files;
  for (const auto& entry : fs::directory_iterator(gim)) {
    const int fd = ::open(entry.path().c_str(), O_RDONLY);
    const size_t size = static_cast<size_t>(entry.file_size());
    files.emplace_back(
        entry.path().filename().string(),
        Mapped{static_cast<const uint8_t*>(::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0)),
               size});
    ::close(fd);
  }
  const auto file = [&](const std::string& name) {
    for (const auto& [n, m] : files)
      if (n == name) return m;
    std::abort();
  };
  const Mapped picture = file("Map.bmp"), grid = file("SektorInfo.map"), start = file("Start.QPX");
  const uint32_t offset = mw::GetU32(std::span(picture.bytes, 64), 10);
  const int32_t w = mw::GetI32(std::span(picture.bytes, 64), 18),
                h = mw::GetI32(std::span(picture.bytes, 64), 22);
  const int bits = mw::GetU16(std::span(picture.bytes, 64), 28);
  const size_t rowLength = (static_cast<size_t>(w) * bits + 31) / 32 * 4;
  const int shownW = std::min(w, kClient.width()), shownH = std::min(h, kClient.height());
  const size_t pixels = static_cast<size_t>(shownW) * static_cast<size_t>(shownH);
  auto* out = static_cast<uint32_t*>(mw::AllocateLarge(4 * pixels));
  for (int32_t y = 0; y < shownH; ++y) {
    const uint8_t* in = picture.bytes + offset + static_cast<size_t>(h - 1 - y) * rowLength;
    uint32_t* to = out + static_cast<size_t>(y) * static_cast<size_t>(shownW);
    if (bits == 24) {
      for (int32_t x = 0; x < shownW; ++x, in += 3)
        to[x] = 0xff000000u | uint32_t{in[2]} << 16 | uint32_t{in[1]} << 8 | in[0];
    } else {  // 8 bits with a palette
      const uint8_t* palette = picture.bytes + 14 + mw::GetU32(std::span(picture.bytes, 64), 14);
      for (int32_t x = 0; x < shownW; ++x) {
        const uint8_t* c = palette + 4 * in[x];
        to[x] = 0xff000000u | uint32_t{c[2]} << 16 | uint32_t{c[1]} << 8 | c[0];
      }
    }
  }
  sum += out[pixels / 2];
  mw::FreeLarge(out, 4 * pixels);
  const int32_t gridW = mw::GetI32(std::span(grid.bytes, 8), 0),
                gridH = mw::GetI32(std::span(grid.bytes, 8), 4);
  const uint32_t stacks = mw::GetU32(std::span(start.bytes, 15), 7);
  for (uint32_t i = 0; i < stacks && 15 + 24 * size_t{i + 1} <= start.size; ++i) {
    const uint8_t* r = start.bytes + 15 + 24 * size_t{i};
    double x, y;
    std::memcpy(&x, r, 8);
    std::memcpy(&y, r + 8, 8);
    if (x >= 0 && y >= 0 && x < gridW && y < gridH)
      sum += mw::GetU16(
          std::span(grid.bytes, grid.size),
          8 + 2 * (static_cast<size_t>(y) * static_cast<size_t>(gridW) + static_cast<size_t>(x)));
  }
  for (const auto& [name, m] : files) ::munmap(const_cast<uint8_t*>(m.bytes), m.size);
  return sum;
}

// The least work of a load, as above, each time from mappings made afresh.
void LoadPackageFloor(benchmark::State& state) {
  const fs::path gim = fs::canonical(folder / (std::string(MapOf(state)) + ".gim"));
  ReadPackageOnce(gim);
  for (auto _ : state) benchmark::DoNotOptimize(ReadPackageOnce(gim));
  state.SetLabel(MapOf(state));
}
BENCHMARK(LoadPackageFloor)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Decoding a picture of 1 to 192 megapixels (8-bit palette, 4:3), run once before it is timed:
// the cost must grow with the pixels and nothing else. The bitmaps are written on the first run.
void LoadPictureOf(benchmark::State& state) {
  const int64_t megapixels = state.range(0);
  const int width = static_cast<int>(std::sqrt(megapixels * 1e6 * 4 / 3));
  const int height = static_cast<int>(megapixels * 1000000 / width);
  const fs::path file = folder / ("Picture" + std::to_string(megapixels) + "MP.bmp");
  if (!fs::exists(file)) {
    mw::BmpRows rows;
    rows.width = width;
    rows.height = height;
    rows.bitsPerPixel = 8;
    rows.rowLength = static_cast<size_t>((width + 3) / 4 * 4);
    rows.pixels.resize(rows.rowLength * static_cast<size_t>(height));
    for (size_t i = 0; i < rows.pixels.size(); ++i) rows.pixels[i] = static_cast<uint8_t>(i * 7);
    mw::WriteFileAtomically(file, mw::EncodeBmp(rows));
  }
  if (!mw::LoadPicture(file)) return state.SkipWithError("the picture was not read");
  for (auto _ : state) benchmark::DoNotOptimize(mw::LoadPicture(file)->constBits());
  state.SetLabel(std::to_string(width) + " x " + std::to_string(height));
}
BENCHMARK(LoadPictureOf)->Arg(1)->Arg(3)->Arg(12)->Arg(48)->Arg(192)->Unit(benchmark::kMillisecond);

// The start of the big map with every hundredth stack moved to another point and every fiftieth
// grown by one, written the first time it is asked for.
fs::path MovedPosition(const mw::Position& start) {
  const fs::path moved = folder / "Big.gim" / "Moved.QPX";
  if (fs::exists(moved)) return moved;
  std::vector<mw::Unit> units;
  for (size_t i = 0; i < start.unitCount(); ++i) {
    mw::Unit u = start.unit(i);
    if (i % 100 == 0) u.x = static_cast<uint16_t>((u.x + 4321) % (kWidth - 30));
    if (i % 50 == 0) ++u.count;
    units.push_back(u);
  }
  mw::Position p;
  p.ReplaceUnits(std::move(units));
  p.header().setMapName("Big");
  mw::SavePosition(p, moved);
  return moved;
}

// Comparing two positions of 100,000 stacks on the big map (the start and the moved one),
// against loading them both: what a player waits for beyond the loads.
void ComparePositions(benchmark::State& state) {
  Shown shown("Big");
  const mw::Position& start = shown.viewer.position();
  const fs::path moved = MovedPosition(start);
  mw::Position other;
  mw::LoadPosition(other, moved);
  mw::TakeMapOf(other, start);
  size_t lines = 0;
  for (auto _ : state) lines = mw::CompareBoards(mw::Summarize(start), mw::Summarize(other)).size();
  state.SetLabel(std::to_string(lines) + " lines");
}
BENCHMARK(ComparePositions)->Unit(benchmark::kMillisecond);

void ComparePositionsFloor(benchmark::State& state) {
  mw::Position a, b;
  for (auto _ : state) {
    mw::LoadPosition(a, folder / "Big.gim" / "Start.QPX");
    mw::LoadPosition(b, folder / "Big.gim" / "Moved.QPX");
  }
}
BENCHMARK(ComparePositionsFloor)->Unit(benchmark::kMillisecond);

// `Marrowind --totals` of the big map's start (range 0), and `Marrowind --diff` of the start and
// the moved position (range 1), as whole processes. The program finds its maps beside itself, so
// it runs as a hard link beside the big package.
void DiffProcess(benchmark::State& state) {
  const fs::path program = bench::ProgramBeside(fs::path(MAP_PACKAGES_DIR) / "Marrowind", folder);
  const fs::path start = folder / "Big.gim" / "Start.QPX";
  std::string moved;
  {
    mw::Position p;
    mw::LoadPosition(p, start);
    moved = MovedPosition(p).string();
  }
  const std::vector<std::string> arguments =
      state.range(0) ? std::vector<std::string>{"--diff", start.string(), moved}
                     : std::vector<std::string>{"--totals", start.string()};
  for (auto _ : state) {
    const int status = bench::RunProcess(program.string(), arguments);
    // --diff exits 1 when something changed.
    if (status < 0 || status > 1) state.SkipWithError("the program failed");
  }
}
BENCHMARK(DiffProcess)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The most memory a viewer takes while it shows the big map at every zoom level, scrolled to
// both far corners, in a process of its own.
int PeakMemory() {
  const pid_t child = ::fork();
  if (child == 0) {
    Shown shown("Big");
    for (int i = 0; i < 5; ++i) shown.viewer.view().ZoomOut();
    for (int level = 0; level < 16; ++level) {
      shown.Paint();
      shown.viewer.Wheel(QPoint(0, 0), QPoint(-100000, -100000), false);
      shown.Paint();
      shown.viewer.Wheel(QPoint(0, 0), QPoint(100000, 100000), false);
      shown.viewer.view().ZoomIn();
    }
    std::_Exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  const double decoded = 4.0 * kWidth * kHeight / (1 << 20);
  const double peak = usage.ru_maxrss / 1024.0;
  std::printf(
      "peak memory showing the big map at every zoom: %.0f MiB; decoded picture %.0f MiB; "
      "ratio %.2f\n",
      peak, decoded, peak / decoded);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path where = fs::temp_directory_path() / "marrowind-bigmap";
  bool peak = false;
  std::vector<char*> rest{argv[0]};
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--peak-memory")
      peak = true;
    else if (!a.starts_with("--"))
      where = a;
    else
      rest.push_back(argv[i]);
  }
  fs::create_directories(where);
  // Offscreen on a screen of 1920 x 1080 unless a platform is asked for: the window's zoom step
  // is measured once under X as well.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    const fs::path screens = where / "screens.json";
    std::FILE* config = std::fopen(screens.c_str(), "w");
    std::fputs(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1920, "height": 1080,
                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})",
               config);
    std::fclose(config);
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + screens.c_str());
  }
  QApplication app(argc, argv);
  Prepare(where);
  if (peak) return PeakMemory();
  int count = static_cast<int>(rest.size());
  benchmark::Initialize(&count, rest.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
