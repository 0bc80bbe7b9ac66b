// SPDX-License-Identifier: GPL-3.0-or-later
#include "Headless.h"

#include <QBuffer>
#include <QString>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <iterator>
#include <ostream>

#include "Actions.h"
#include "FileBytes.h"
#include "GameFigures.h"
#include "GameFile.h"
#include "Locations.h"
#include "NamedPosition.h"
#include "NullHost.h"
#include "PackagePaths.h"
#include "PngStrips.h"
#include "Position.h"
#include "PositionCompare.h"
#include "PositionFile.h"
#include "Replay.h"
#include "Reports.h"
#include "Version.h"
#include "Viewer.h"

namespace mw {
namespace {

constexpr const char* kUsage =
    "Usage: Marrowind [POSITION]\n"
    "       Marrowind --totals [POSITION]\n"
    "       Marrowind --units [POSITION]\n"
    "       Marrowind --income [POSITION]\n"
    "       Marrowind --render FILE.png [--zoom F] [--ipc] [--sectors] [POSITION]\n"
    "       Marrowind --replay SCRIPT [POSITION]\n"
    "       Marrowind --diff OLD NEW\n"
    "       Marrowind --record GAME POSITION [LABEL] [--note TEXT] [--after N]\n"
    "       Marrowind --turns GAME\n"
    "       Marrowind --moves GAME:N\n"
    "       Marrowind --extract GAME N OUT\n"
    "       Marrowind --merge GAME OTHER\n"
    "       Marrowind --verify GAME\n"
    "Shows the map of a map package and the position on it; a game file named in place of\n"
    "POSITION opens at its last turn (GAME:N at turn N). Without a window:\n"
    "  --totals          print each country's totals, tab-separated\n"
    "  --units           print the unit list\n"
    "  --income          print every sector each country holds, what it yields and under\n"
    "                    which heading, or why it yields nothing, tab-separated\n"
    "  --render FILE     write the map as the map view shows it to a PNG file\n"
    "  --zoom F          the zoom for --render: 0.5, 0.6, ... 2.0 (1.0 when absent)\n"
    "  --ipc             draw the income labels on the rendered map\n"
    "  --sectors         draw the sectors on the rendered map, as \"Show Sectors\" does: their\n"
    "                    borders, numbers, names and label points\n"
    "  --replay SCRIPT   feed the viewer the user events of SCRIPT (- for standard input)\n"
    "  --diff OLD NEW    print what changed from the position OLD to NEW (both of one map),\n"
    "                    tab-separated: pieces by sector, country and kind, sectors that\n"
    "                    changed hands, totals; exit 0 when nothing changed, 1 when something\n"
    "                    did, 2 when a file cannot be read, is not whole or the maps differ\n"
    "  --record GAME POSITION [LABEL] [--note TEXT] [--after N]\n"
    "                    append POSITION to the game file GAME (made when missing) as its next\n"
    "                    turn, labelled LABEL or \"Turn N\", with the note TEXT; with --after,\n"
    "                    only when the game's last turn is N (else exit 1, nothing written).\n"
    "                    A position file that is not whole is refused (exit 2)\n"
    "  --turns GAME      print every turn's totals, a line for each country with one:\n"
    "                    Turn, Label, Recorded (ISO 8601 UTC), Country, IPC, Convoy, Oil,\n"
    "                    Land, Naval, Note, tab-separated; control characters as \\xHH\n"
    "  --moves GAME:N    print the moves of turn N in order, tab-separated: Move, Action (place,\n"
    "                    remove, move), Count, Piece, Country, From, To (sectors by name, or\n"
    "                    the map point x,y outside every sector); a turn recorded from a\n"
    "                    position made elsewhere has none, and says so. Exit 2 for a turn the\n"
    "                    game lacks\n"
    "  --extract GAME N OUT\n"
    "                    write turn N of GAME as the position file OUT (.QPX: the bytes\n"
    "                    recorded; .MAP: the headerless encoding of its position)\n"
    "  --merge GAME OTHER\n"
    "                    add to GAME the turns of OTHER, a copy of the same game, that come\n"
    "                    after the turns both hold, printing each; exit 0 when GAME then holds\n"
    "                    every turn of OTHER, 1 when the copies part (the turn is named) or a\n"
    "                    chain does not verify, 2 when a file cannot be read, is no game file\n"
    "                    or holds another game. GAME is changed whole or not at all\n"
    "  --verify GAME     check every page, then recompute the chain of hashes over the turns:\n"
    "                    exit 0 when every turn is as recorded, 1 naming the first that is\n"
    "                    not, 2 when the file cannot be read or is damaged\n"
    "  --help, --version\n"
    "Wherever a position is named, a game file stands for its last turn and GAME:N for turn N.\n"
    "No file is ever written over a game file (exit 2).\n"
    "POSITION is a position file (.QPX or .MAP); the map it names is loaded. A map package\n"
    "folder (Name.gim) in its place is its start position, an empty board where it has none.\n"
    "\n"
    "A replay starts at zoom 1.0 with a map area as large as the map, at most 1920 x 1080,\n"
    "so that client points are map pixels. One event a line; # starts a comment:\n"
    "  press left|middle|right X Y [shift] [ctrl]   a button press at client point (X, Y)\n"
    "  release left|middle|right X Y                the release\n"
    "  move X Y                                     a mouse move\n"
    "  resize W H                                   the map area takes that size\n"
    "  key KEY [ctrl] [alt] [shift]                 a key pressed and released in the main\n"
    "                                               window; with ctrl a shortcut (key S ctrl\n"
    "                                               saves); KEY is one of the keys below\n"
    "  keydown KEY [mods] | keyup KEY [mods]        the press alone, the release alone\n"
    "  wheel X Y DX DY [ctrl]                       the wheel turned by DX, DY pixels at (X, Y);\n"
    "                                               with ctrl one zoom step (in for DY > 0)\n"
    "  palette X Y | palette-escape                 a click in the piece palette, Esc there\n"
    "  command ID                                   a menu command by its id (101 to 299)\n"
    "  answer ok|cancel                             the answer to every later prompt (ok at "
    "first)\n"
    "  dialog PATH|cancel                           the answer to every later file dialog\n"
    "  label TEXT                                   the label of every later turn recorded\n"
    "  print totals|units|title|dirty              what the program shows now\n"
    "  shot FILE.png                                the map area as the window shows it now\n"
    "%KEYS%"
    "Prompts are printed as \"prompt: <text>\" when they are asked, status bar messages as\n"
    "\"status: <text>\"; the exit code is 1 when a save, an export or a load failed. A line that\n"
    "cannot be read is an error naming its line number (exit 2), before anything is run.\n";

// The usage text with the keys of the table of actions that a replay names, wrapped.
std::string Usage() {
  std::string keys = "Keys: ", line;
  for (std::string word : std::vector<std::string>{ReplayKeyList()}) {
    size_t at = 0;
    while (at < word.size()) {
      const size_t end = std::min(word.find(' ', at), word.size());
      const std::string piece = word.substr(at, end - at);
      if (line.size() + piece.size() + 1 > 88) {
        keys += line + "\n  ";
        line.clear();
      }
      line += (line.empty() ? "" : " ") + piece;
      at = end + 1;
    }
  }
  keys += line + "\n";
  std::string usage = kUsage;
  usage.replace(usage.find("%KEYS%"), 6, keys);
  return usage;
}

struct Options {
  enum class Mode {
    kNone,
    kTotals,
    kUnits,
    kIncome,
    kRender,
    kReplay,
    kDiff,
    kRecord,
    kTurns,
    kMoves,
    kExtract,
    kMerge,
    kVerify
  } mode = Mode::kNone;
  std::string renderPath;
  std::string scriptPath;
  double zoom = 1.0;
  bool ipc = false;
  bool sectors = false;
  std::string position;
  std::string newer;             // the second position of --diff
  std::string game;              // --record, --turns, --extract, --merge, --verify
  std::string label;             // --record
  std::string note;              // --record
  std::optional<int64_t> after;  // --record
  int64_t turn = 0;              // --extract
  std::string out;               // --extract
  std::string other;             // --merge
};

// A turn number given on the command line: 1 and above (0 too where `zero` allows it).
std::optional<int64_t> TurnNumber(const std::string& text, bool zero) {
  bool ok = false;
  const int64_t n = QString::fromStdString(text).toLongLong(&ok);
  if (!ok || n < (zero ? 0 : 1)) return std::nullopt;
  return n;
}

// The zoom levels the keypad reaches from 1.0: 0.5, 0.6, ... 2.0.
bool ValidZoom(double z) {
  const double steps = (z - 1.0) / 0.1;
  return z >= 0.5 - 1e-9 && z <= 2.0 + 1e-9 && std::fabs(steps - std::round(steps)) < 1e-6;
}

// Says what is wrong with the command line; a parse that meets it gives up.
std::nullopt_t Refuse(std::ostream& err, const std::string& what) {
  err << "error: " << what << "\n";
  return std::nullopt;
}

std::optional<Options> Parse(const std::vector<std::string>& args, std::ostream& err) {
  Options o;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    if (a == "--totals") {
      o.mode = Options::Mode::kTotals;
    } else if (a == "--units") {
      o.mode = Options::Mode::kUnits;
    } else if (a == "--income") {
      o.mode = Options::Mode::kIncome;
    } else if (a == "--render") {
      auto v = value();
      if (!v) return Refuse(err, "--render needs a file name");
      o.mode = Options::Mode::kRender;
      o.renderPath = *v;
    } else if (a == "--replay") {
      auto v = value();
      if (!v) return Refuse(err, "--replay needs a script");
      o.mode = Options::Mode::kReplay;
      o.scriptPath = *v;
    } else if (a == "--diff") {
      auto older = value();
      auto newer = value();
      if (!older || !newer) return Refuse(err, "--diff needs two position files, OLD and NEW");
      o.mode = Options::Mode::kDiff;
      o.position = *older;
      o.newer = *newer;
    } else if (a == "--record") {
      auto game = value();
      auto position = value();
      if (!game || !position) return Refuse(err, "--record needs a game file and a position file");
      o.mode = Options::Mode::kRecord;
      o.game = *game;
      o.position = *position;
      if (i + 1 < args.size() && !args[i + 1].starts_with("--")) o.label = args[++i];
    } else if (a == "--moves") {
      auto game = value();
      if (!game || !GameTurnOf(*game))
        return Refuse(err, "--moves needs GAME:N, a game and a turn");
      o.mode = Options::Mode::kMoves;
      o.game = *game;
    } else if (a == "--turns") {
      auto game = value();
      if (!game) return Refuse(err, "--turns needs a game file");
      o.mode = Options::Mode::kTurns;
      o.game = *game;
    } else if (a == "--extract") {
      auto game = value();
      auto turn = value();
      auto out = value();
      if (!game || !turn || !out)
        return Refuse(err, "--extract needs a game file, a turn number and a position file");
      const auto number = TurnNumber(*turn, false);
      if (!number) return Refuse(err, "--extract: " + *turn + " is no turn number");
      o.mode = Options::Mode::kExtract;
      o.game = *game;
      o.turn = *number;
      o.out = *out;
    } else if (a == "--merge") {
      auto game = value();
      auto other = value();
      if (!game || !other) return Refuse(err, "--merge needs two game files, GAME and OTHER");
      o.mode = Options::Mode::kMerge;
      o.game = *game;
      o.other = *other;
    } else if (a == "--verify") {
      auto game = value();
      if (!game) return Refuse(err, "--verify needs a game file");
      o.mode = Options::Mode::kVerify;
      o.game = *game;
    } else if (a == "--note") {
      auto note = value();
      if (!note) return Refuse(err, "--note needs a text");
      o.note = *note;
    } else if (a == "--after") {
      auto turn = value();
      o.after = turn ? TurnNumber(*turn, true) : std::nullopt;
      if (!o.after) return Refuse(err, "--after needs a turn number (0 for a game without turns)");
    } else if (a == "--zoom") {
      auto v = value();
      bool ok = false;
      if (v) o.zoom = QString::fromStdString(*v).toDouble(&ok);
      if (!ok || !ValidZoom(o.zoom)) return Refuse(err, "--zoom takes one of 0.5, 0.6, ... 2.0");
    } else if (a == "--ipc") {
      o.ipc = true;
    } else if (a == "--sectors") {
      o.sectors = true;
    } else if (a.starts_with("--")) {
      return Refuse(err, "unknown option " + a + " (see --help)");
    } else if (o.position.empty()) {
      o.position = a;
    } else {
      return Refuse(err, "more than one position file given");
    }
  }
  if (o.mode == Options::Mode::kNone)
    return Refuse(err, "--zoom, --ipc and --sectors go with --render");
  if ((o.after || !o.note.empty()) && o.mode != Options::Mode::kRecord)
    return Refuse(err, "--note and --after go with --record");
  return o;
}

void SetZoom(Viewer& viewer, double zoom) {
  while (viewer.view().state().zoom < zoom - 0.05 && viewer.view().ZoomIn()) {
  }
  while (viewer.view().state().zoom > zoom + 0.05 && viewer.view().ZoomOut()) {
  }
}

// The script of a replay, read whole before anything runs.
std::optional<std::vector<ReplayLine>> ReadScript(const std::string& path, std::ostream& err) {
  std::string text;
  if (path == "-") {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  } else {
    auto bytes = ReadFileBytes(path);
    if (!bytes) {
      err << "error: " << bytes.error() << "\n";
      return std::nullopt;
    }
    text.assign(bytes->begin(), bytes->end());
  }
  auto script = ParseReplayScript(text);
  if (!script) {
    err << "error: " << path << ": " << script.error() << "\n";
    return std::nullopt;
  }
  return std::move(script.value());
}

int RunReplay(const Options& options, const std::filesystem::path& programDir, std::ostream& out,
              std::ostream& err) {
  const auto script = ReadScript(options.scriptPath, err);
  if (!script) return 2;
  Replay replay(programDir, out);
  if (auto started = replay.Start(options.position); !started) {
    err << "error: " << started.error() << "\n";
    return 2;
  }
  for (const ReplayLine& line : *script) replay.Run(line);
  // A script whose save, export or load failed did not do what it says.
  return replay.viewer().board().failures() == 0 ? 0 : 1;
}

// A position named on the command line: a position file, a game's last turn or GAME:N, read
// into `position`; its bytes as the file or turn holds them. Fails for what cannot be read and,
// with `whole`, for a position file that is not whole.
Result<NamedPosition> ReadPosition(Position& position, const std::string& name, bool whole) {
  auto named = ReadNamedPosition(name);
  if (!named) return named;
  if (const PositionExtent extent = ExtentOf(named->bytes); whole && !extent.whole())
    return Result<NamedPosition>::Fail(extent.Describe(name) + ": the file is not whole");
  LoadPositionBytes(position, named->bytes);
  return named;
}

// A viewer with the package of a map loaded, for reports on positions read beside it; fails
// with the reason when the package is not found.
Status LoadMapOf(Viewer& viewer, const std::string& mapName, const std::string& whose) {
  viewer.board().ReadPictures(false);
  std::error_code error;
  if (!std::filesystem::is_directory(viewer.board().PackageFolder(mapName), error))
    return Status::Fail(whose + ": its map " + mapName + " is not found (no " + mapName +
                        ".gim folder where maps are looked for)");
  viewer.board().LoadMapPackage(mapName);
  return Status::Ok();
}

// Compares two positions of one map, each a position file or a game's turn. Exit 0 when nothing
// changed, 1 when something did, 2 when a position cannot be read, its map is not found or the
// maps differ.
int RunDiff(const Options& options, const std::filesystem::path& programDir, std::ostream& out,
            std::ostream& err) {
  const auto fail = [&](const std::string& reason) {
    err << "error: " << reason << "\n";
    return 2;
  };
  Position older;
  if (auto read = ReadPosition(older, options.position, true); !read) return fail(read.error());
  // NEW is read and held to OLD's map as "&Compare With ..." holds a position to the board's.
  auto newer = ReadComparable(options.newer, older, options.position, true);
  if (!newer) return fail(newer.error());
  NullHost host;
  Viewer viewer(host, programDir);
  if (Status map = LoadMapOf(viewer, older.mapName(), options.position); !map)
    return fail(map.error());
  TakeMapOf(older, viewer.position());
  TakeMapOf(*newer->position, viewer.position());
  const auto differences = CompareBoards(Summarize(older), Summarize(*newer->position));
  out << DifferenceReport(differences, older);
  return differences.empty() ? 0 : 1;
}

// Appends a position to a game as its next turn, making the game file when there is none.
int RunRecord(const Options& options, const std::filesystem::path& programDir, std::ostream& out,
              std::ostream& err) {
  const auto fail = [&](const std::string& reason) {
    err << "error: " << reason << "\n";
    return 2;
  };
  // The bytes of a .QPX file or a turn as they are; a .MAP file as the .QPX encoding of its
  // position.
  Position position;
  auto named = ReadPosition(position, options.position, true);
  if (!named) return fail(named.error());
  PositionHeader header;
  std::copy_n(named->bytes.begin(), std::min(named->bytes.size(), PositionHeader::kSize),
              header.bytes().begin());
  const std::vector<uint8_t> bytes =
      header.hasMagic() ? std::move(named->bytes) : EncodePosition(position, false);
  auto game = GameFile::OpenOrCreate(options.game, position.mapName(),
                                     FindPackage(MapFolders(programDir), position.mapName()));
  if (!game) return fail(game.error());
  // The turn the position was made from: one whose position it is byte for byte.
  auto parent = game->TurnHolding(bytes);
  if (!parent) return fail(parent.error());
  auto recorded = game->Record(
      {bytes, options.label, options.note, *parent, options.after, std::nullopt, {}, {}, {}});
  if (!recorded) return fail(recorded.error());
  if (!recorded->turn) {
    err << "error: " << options.game << " is at turn " << recorded->last << ", not "
        << *options.after << ": nothing recorded\n";
    return 1;
  }
  out << "recorded turn " << recorded->turn->number << " \"" << recorded->turn->label << "\" into "
      << options.game << "\n";
  return 0;
}

// Adds to a game the turns of its copy that come after the turns both hold.
int RunMerge(const Options& options, std::ostream& out, std::ostream& err) {
  auto game = GameFile::Open(options.game, true);
  auto other = game ? GameFile::Open(options.other) : Result<GameFile>::Fail(game.error());
  if (!other) {
    err << "error: " << other.error() << "\n";
    return 2;
  }
  auto taken = game->Take(*other);
  if (!taken) {
    err << "error: " << taken.error() << "\n";
    return 2;
  }
  if (taken->parting) {
    err << "error: " << taken->parting->Describe(options.game, options.other)
        << "; nothing taken\n";
    return 1;
  }
  for (const Turn& turn : taken->turns)
    out << "added turn " << turn.number << " \"" << EscapeControls(turn.label) << "\"\n";
  return 0;
}

// Recomputes a game's chain of hashes.
int RunVerify(const Options& options, std::ostream& out, std::ostream& err) {
  auto game = GameFile::Open(options.game);
  auto verified = game ? game->Verify() : Result<Verification>::Fail(game.error());
  if (!verified) {
    err << "error: " << verified.error() << "\n";
    return 2;
  }
  if (verified->firstBroken != 0) {
    err << "error: " << options.game << ": turn " << verified->firstBroken << ": "
        << verified->reason << "\n";
    return 1;
  }
  out << "verified " << verified->turns << (verified->turns == 1 ? " turn" : " turns");
  if (game->schema() < 2)
    out << " (a game file of schema 1 stores no chain yet: its next recording stores it)";
  out << "\n";
  return 0;
}

// Every turn's totals, a line for each country with one that is not 0.
int RunTurns(const Options& options, const std::filesystem::path& programDir, std::ostream& out,
             std::ostream& err) {
  auto game = GameFile::Open(options.game);
  if (!game) {
    err << "error: " << game.error() << "\n";
    return 2;
  }
  NullHost host;
  Viewer viewer(host, programDir);
  if (Status map = LoadMapOf(viewer, game->mapName(), options.game); !map) {
    err << "error: " << EscapeControls(map.error()) << "\n";
    return 2;
  }
  const auto figures = GameFigures(*game, viewer.position());
  if (!figures) {
    err << "error: " << figures.error() << "\n";
    return 2;
  }
  out << "Turn\tLabel\tRecorded\tCountry\tIPC\tConvoy\tOil\tLand\tNaval\tNote\n";
  for (const TurnFigures& turn : *figures) {
    const std::string label = EscapeControls(turn.turn.label);
    const std::string note = EscapeControls(turn.turn.note);
    for (const CountryFigures& country : turn.countries) {
      out << turn.turn.number << '\t' << label << '\t' << turn.turn.recorded << '\t'
          << country.country;
      for (int16_t figure : country.shown) out << '\t' << figure;
      out << '\t' << note << '\n';
    }
  }
  return 0;
}

// A turn's moves, a line each, with the names of the game's map.
int RunMoves(const Options& options, const std::filesystem::path& programDir, std::ostream& out,
             std::ostream& err) {
  const auto named = GameTurnOf(options.game);
  auto game = GameFile::Open(named->first);
  if (!game) {
    err << "error: " << game.error() << "\n";
    return 2;
  }
  auto moves = game->MovesOf(named->second);
  if (!moves) {
    err << "error: " << moves.error() << "\n";
    return 2;
  }
  NullHost host;
  Viewer viewer(host, programDir);
  if (Status map = LoadMapOf(viewer, game->mapName(), named->first); !map) {
    err << "error: " << EscapeControls(map.error()) << "\n";
    return 2;
  }
  out << "Move\tAction\tCount\tPiece\tCountry\tFrom\tTo\n";
  if (!*moves) {
    err << named->first << ": turn " << named->second
        << " was recorded without its moves (from a position made elsewhere)\n";
    return 0;
  }
  for (size_t i = 0; i < (*moves)->size(); ++i) {
    out << i + 1;
    for (std::string& field : MoveFields(viewer.position(), (**moves)[i]))
      out << '\t' << EscapeControls(TabField(std::move(field)));
    out << '\n';
  }
  return 0;
}

// Writes a turn as a position file: its recorded bytes to a .QPX path, the headerless encoding
// of its position to a .MAP path.
int RunExtract(const Options& options, std::ostream& err) {
  auto game = GameFile::Open(options.game);
  auto bytes =
      game ? game->PositionOf(options.turn) : Result<std::vector<uint8_t>>::Fail(game.error());
  if (!bytes) {
    err << "error: " << bytes.error() << "\n";
    return 2;
  }
  std::vector<uint8_t> written = std::move(bytes.value());
  if (IsTessWinMapPath(options.out)) {
    Position position;
    LoadPositionBytes(position, written);
    written = EncodePosition(position, true);
  }
  if (Status saved = WriteFileAtomically(options.out, written); !saved) {
    err << "error: " << saved.error() << "\n";
    return 2;
  }
  return 0;
}

int Render(Viewer& viewer, const Options& options, std::ostream& err) {
  // A picture is never written over a game: that is a mistake of the command line.
  if (IsDatabaseFile(options.renderPath)) {
    err << "error: " << options.renderPath
        << ": is a game file; nothing but a recording is written into it\n";
    return 2;
  }
  SetZoom(viewer, options.zoom);
  const ViewState& view = viewer.view().state();
  if (viewer.map().mapPicture.isNull() || view.scaledWidth <= 0) {
    err << "error: the map has no picture to render\n";
    return 3;
  }
  // In bands of rows, so that memory follows the picture's width, not its area.
  constexpr int kBandRows = 256;
  auto written = WritePngInStrips(
      options.renderPath, view.scaledWidth, view.scaledHeight, kBandRows, [&](int top, int rows) {
        return viewer.view().ComposedRegion(QRect(0, top, view.scaledWidth, rows));
      });
  if (!written) {
    err << "error: " << written.error() << "\n";
    return 3;
  }
  return 0;
}

}  // namespace

bool IsHeadless(const std::vector<std::string>& args) {
  return std::any_of(args.begin() + (args.empty() ? 0 : 1), args.end(),
                     [](const std::string& a) { return a.starts_with("--"); });
}

int RunHeadless(const std::vector<std::string>& args, const std::filesystem::path& programDir,
                std::ostream& out, std::ostream& err) {
  const auto given = [&](const char* option) {
    return std::find(args.begin(), args.end(), option) != args.end();
  };
  if (given("--help")) {
    out << Usage();
    return 0;
  }
  if (given("--version")) {
    out << "Version " << kVersionText << "\n";
    return 0;
  }
  const auto options = Parse(args, err);
  // 1 would say that two positions differ.
  if (!options)
    return given("--diff") || given("--record") || given("--extract") || given("--turns") ||
                   given("--moves") || given("--merge") || given("--verify")
               ? 2
               : 1;
  if (options->mode == Options::Mode::kReplay) return RunReplay(*options, programDir, out, err);
  if (options->mode == Options::Mode::kDiff) return RunDiff(*options, programDir, out, err);
  if (options->mode == Options::Mode::kRecord) return RunRecord(*options, programDir, out, err);
  if (options->mode == Options::Mode::kTurns) return RunTurns(*options, programDir, out, err);
  if (options->mode == Options::Mode::kMoves) return RunMoves(*options, programDir, out, err);
  if (options->mode == Options::Mode::kExtract) return RunExtract(*options, err);
  if (options->mode == Options::Mode::kMerge) return RunMerge(*options, out, err);
  if (options->mode == Options::Mode::kVerify) return RunVerify(*options, out, err);
  // An empty file would read as an empty board of the default map, and every report of it would
  // look like an answer.
  std::error_code empty;
  if (!options->position.empty() && std::filesystem::is_regular_file(options->position, empty) &&
      std::filesystem::file_size(options->position, empty) == 0 && !empty) {
    err << "error: " << options->position
        << ": the file is empty; a position file holds at least its header\n";
    return 2;
  }
  NullHost host;
  Viewer viewer(host, programDir);
  // Only a picture made needs the pictures.
  viewer.board().ReadPictures(options->mode == Options::Mode::kRender);
  if (auto started = viewer.Start(options->position); !started) {
    err << "error: " << started.error() << "\n";
    return 2;
  }
  // Totals of a position named here without its map would all be zero: that is no answer.
  const bool reports = options->mode == Options::Mode::kTotals ||
                       options->mode == Options::Mode::kUnits ||
                       options->mode == Options::Mode::kIncome;
  const std::string map = viewer.position().mapName();
  std::error_code error;
  if (reports && !options->position.empty() &&
      !std::filesystem::is_directory(viewer.board().PackageFolder(map), error)) {
    err << "error: " << options->position << ": its map " << map << " is not found (no " << map
        << ".gim folder where maps are looked for)\n";
    return 2;
  }
  // The income labels as the menu item "&IPC Values" shows them, the settings file untouched.
  if (options->ipc && !viewer.desk().settings().showIpcValues())
    viewer.Command(command::kIpcValues);
  if (options->sectors) viewer.Command(command::kShowSectors);
  switch (options->mode) {
    case Options::Mode::kTotals:
      out << TotalsReport(viewer.position());
      break;
    case Options::Mode::kUnits:
      out << WithoutCarriageReturns(BuildUnitList(viewer.position()));
      break;
    case Options::Mode::kIncome:
      out << IncomeReport(viewer.position());
      break;
    case Options::Mode::kRender:
      return Render(viewer, *options, err);
    case Options::Mode::kReplay:
    case Options::Mode::kDiff:
    case Options::Mode::kRecord:
    case Options::Mode::kTurns:
    case Options::Mode::kMoves:
    case Options::Mode::kExtract:
    case Options::Mode::kMerge:
    case Options::Mode::kVerify:
    case Options::Mode::kNone:
      break;
  }
  return 0;
}

}  // namespace mw
