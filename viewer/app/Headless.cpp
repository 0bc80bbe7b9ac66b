#include "Headless.h"

#include <cmath>
#include <ostream>

#include "NullHost.h"
#include "Position.h"
#include "PositionFile.h"
#include "Reports.h"
#include "Viewer.h"

namespace mw {
namespace {

constexpr const char* kUsage =
    "Usage: Marrowind [POSITION]\n"
    "       Marrowind --totals [POSITION]\n"
    "       Marrowind --units [POSITION]\n"
    "       Marrowind --render FILE.png [--zoom F] [--ipc] [POSITION]\n"
    "Shows the map of a map package and the position on it. Without a window:\n"
    "  --totals          print each country's totals, tab-separated\n"
    "  --units           print the unit list\n"
    "  --render FILE     write the map as the map view shows it to a PNG file\n"
    "  --zoom F          the zoom for --render: 0.5, 0.6, ... 2.0 (1.0 when absent)\n"
    "  --ipc             draw the income labels on the rendered map\n"
    "  --help, --version\n"
    "POSITION is a position file (.QPX or .MAP); the map it names is loaded.\n";

struct Options {
  enum class Mode { kNone, kTotals, kUnits, kRender } mode = Mode::kNone;
  std::string renderPath;
  double zoom = 1.0;
  bool ipc = false;
  std::string position;
};

// The zoom levels the keypad reaches from 1.0: 0.5, 0.6, ... 2.0.
bool ValidZoom(double z) {
  const double steps = (z - 1.0) / 0.1;
  return z >= 0.5 - 1e-9 && z <= 2.0 + 1e-9 && std::fabs(steps - std::round(steps)) < 1e-6;
}

std::optional<Options> Parse(const QStringList& args, std::ostream& err) {
  Options o;
  for (int i = 1; i < args.size(); ++i) {
    const QString a = args[i];
    auto value = [&]() -> std::optional<QString> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    if (a == "--totals") {
      o.mode = Options::Mode::kTotals;
    } else if (a == "--units") {
      o.mode = Options::Mode::kUnits;
    } else if (a == "--render") {
      auto v = value();
      if (!v) return err << "error: --render needs a file name\n", std::nullopt;
      o.mode = Options::Mode::kRender;
      o.renderPath = v->toStdString();
    } else if (a == "--zoom") {
      auto v = value();
      bool ok = false;
      if (v) o.zoom = v->toDouble(&ok);
      if (!ok || !ValidZoom(o.zoom))
        return err << "error: --zoom takes one of 0.5, 0.6, ... 2.0\n", std::nullopt;
    } else if (a == "--ipc") {
      o.ipc = true;
    } else if (a.startsWith("--")) {
      return err << "error: unknown option " << a.toStdString() << " (see --help)\n", std::nullopt;
    } else if (o.position.empty()) {
      o.position = a.toStdString();
    } else {
      return err << "error: more than one position file given\n", std::nullopt;
    }
  }
  if (o.mode == Options::Mode::kNone)
    return err << "error: --zoom and --ipc go with --render\n", std::nullopt;
  return o;
}

void PrintTotals(const Position& p, std::ostream& out) {
  out << "Country\tIPC\tConvoy\tOil\tSum\tLand\tNaval\n";
  for (int c = 1; c < kCountrySlots; ++c) {
    const CountryTotal& t = p.totalOf(static_cast<uint32_t>(c));
    if (c > 8 && t == CountryTotal{}) continue;
    out << c << '\t' << t.shownIpc() << '\t' << t.shownConvoy() << '\t' << t.shownOil() << '\t'
        << t.shownSum() << '\t' << t.shownLand() << '\t' << t.shownNaval() << '\n';
  }
}

void SetZoom(Viewer& viewer, double zoom) {
  while (viewer.view().state().zoom < zoom - 0.05 && viewer.view().ZoomIn()) {}
  while (viewer.view().state().zoom > zoom + 0.05 && viewer.view().ZoomOut()) {}
}

}  // namespace

bool IsHeadless(const QStringList& args) {
  for (const QString& a : args.mid(1))
    if (a.startsWith("--")) return true;
  return false;
}

int RunHeadless(const QStringList& args, const std::filesystem::path& programDir, std::ostream& out,
                std::ostream& err) {
  if (args.contains("--help")) return out << kUsage, 0;
  if (args.contains("--version")) return out << "Version 0.79f\n", 0;
  const auto options = Parse(args, err);
  if (!options) return 1;
  if (!options->position.empty()) {
    Position probe;
    std::string error;
    if (!LoadPosition(probe, options->position, &error)) return err << "error: " << error << "\n", 2;
  }
  NullHost host;
  Viewer viewer(host, programDir);
  if (options->ipc) viewer.settings().setShowIpcValues(true);
  viewer.Start(options->position);
  switch (options->mode) {
    case Options::Mode::kTotals:
      PrintTotals(viewer.position(), out);
      break;
    case Options::Mode::kUnits: {
      const std::string text = BuildUnitList(viewer.position());
      for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out << text[i];
      break;
    }
    case Options::Mode::kRender: {
      SetZoom(viewer, options->zoom);
      const QImage& picture = viewer.view().state().composedPicture;
      if (picture.isNull()) return err << "error: the map has no picture to render\n", 3;
      if (!picture.save(QString::fromStdString(options->renderPath), "PNG"))
        return err << "error: " << options->renderPath << ": cannot write the picture\n", 3;
      break;
    }
    case Options::Mode::kNone:
      break;
  }
  return 0;
}

}  // namespace mw
