// SPDX-License-Identifier: GPL-3.0-or-later
#include "Replay.h"

#include <QBuffer>
#include <QPainter>
#include <charconv>
#include <ostream>
#include <utility>

#include "Actions.h"
#include "FileBytes.h"
#include "Reports.h"

namespace mw {
namespace {

using Kind = ReplayLine::Kind;

// The line without its comment: "#" at the start of a word starts one.
std::string_view WithoutComment(std::string_view line) {
  for (size_t i = 0; i < line.size(); ++i)
    if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t'))
      return line.substr(0, i);
  return line;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

std::optional<int> Number(std::string_view word, int low, int high) {
  int value = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size() || value < low || value > high)
    return std::nullopt;
  return value;
}

using LineResult = Result<std::optional<ReplayLine>>;

LineResult Fail(std::string what) { return LineResult::Fail(std::move(what)); }
LineResult Ok(ReplayLine line) { return LineResult::Ok(std::move(line)); }

std::optional<MouseButton> ButtonNamed(std::string_view w) {
  if (w == "left") return MouseButton::kLeft;
  if (w == "middle") return MouseButton::kMiddle;
  if (w == "right") return MouseButton::kRight;
  return std::nullopt;
}

// The modifier words from words[at] on: shift, ctrl and, where `alt` is allowed, alt.
Result<unsigned> ModifierWords(const std::vector<std::string_view>& w, size_t at, bool alt) {
  unsigned modifiers = kNoModifiers;
  for (size_t i = at; i < w.size(); ++i) {
    if (w[i] == "shift")
      modifiers |= kShift;
    else if (w[i] == "ctrl")
      modifiers |= kCtrl;
    else if (alt && w[i] == "alt")
      modifiers |= kAlt;
    else
      return Result<unsigned>::Fail("unknown modifier '" + std::string(w[i]) +
                                    (alt ? "' (shift, ctrl or alt)" : "' (shift or ctrl)"));
  }
  return Result<unsigned>::Ok(modifiers);
}

// "X Y" from words[at] and words[at + 1] as client coordinates.
std::optional<QPoint> PointAt(const std::vector<std::string_view>& words, size_t at) {
  if (words.size() < at + 2) return std::nullopt;
  auto x = Number(words[at], 0, 65535), y = Number(words[at + 1], 0, 65535);
  if (!x || !y) return std::nullopt;
  return QPoint(*x, *y);
}

LineResult ParseButtonLine(const std::vector<std::string_view>& w, Kind kind) {
  ReplayLine line;
  line.kind = kind;
  const auto button = w.size() > 1 ? ButtonNamed(w[1]) : std::nullopt;
  const auto point = PointAt(w, 2);
  if (!button || !point)
    return Fail(std::string(w[0]) + " takes left, middle or right and a point X Y (0 to 65535)");
  line.button = *button;
  line.point = *point;
  const size_t most = kind == Kind::kPress ? 6 : 4;
  if (w.size() > most) return Fail("too many words for " + std::string(w[0]));
  const auto modifiers = ModifierWords(w, 4, false);
  if (!modifiers) return Fail(modifiers.error());
  line.modifiers = *modifiers;
  return Ok(line);
}

LineResult ParseKeyLine(const std::vector<std::string_view>& w, Kind kind) {
  ReplayLine line;
  line.kind = kind;
  const auto key = w.size() >= 2 ? KeyOfReplayName(w[1]) : std::nullopt;
  if (!key)
    return Fail(std::string(w[0]) + " takes a key (" + ReplayKeyList() +
                "), then any of ctrl, alt and shift");
  const auto modifiers = ModifierWords(w, 2, true);
  if (!modifiers) return Fail(modifiers.error());
  line.key = *key;
  line.modifiers = *modifiers;
  return Ok(line);
}

LineResult ParseWheel(const std::vector<std::string_view>& w) {
  ReplayLine line;
  line.kind = Kind::kWheel;
  const auto point = PointAt(w, 1);
  const auto dx = w.size() >= 5 ? Number(w[3], -65535, 65535) : std::nullopt;
  const auto dy = w.size() >= 5 ? Number(w[4], -65535, 65535) : std::nullopt;
  const auto modifiers = ModifierWords(w, 5, false);
  if (!point || !dx || !dy || !modifiers || (*modifiers & kShift) || w.size() > 6)
    return Fail("wheel takes a point X Y, a turn DX DY in pixels and maybe ctrl");
  line.point = *point;
  line.delta = QPoint(*dx, *dy);
  line.modifiers = *modifiers;
  return Ok(line);
}

// The rest of the line after its verb, blanks around it dropped.
std::string_view RestAfter(std::string_view text, std::string_view verb) {
  std::string_view rest = text.substr(text.find(verb) + verb.size());
  while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
  while (!rest.empty() && IsBlank(rest.back())) rest.remove_suffix(1);
  return rest;
}

LineResult ParsePointLine(const std::vector<std::string_view>& w, Kind kind, int low) {
  ReplayLine line;
  line.kind = kind;
  const auto point = PointAt(w, 1);
  if (!point || w.size() != 3 || point->x() < low || point->y() < low)
    return Fail(std::string(w[0]) + " takes two numbers from " + std::to_string(low) + " to 65535");
  line.point = *point;
  return Ok(line);
}

LineResult ParsePrint(const std::vector<std::string_view>& w) {
  ReplayLine line;
  const std::string_view what = w.size() == 2 ? w[1] : std::string_view();
  if (what == "totals")
    line.kind = Kind::kPrintTotals;
  else if (what == "units")
    line.kind = Kind::kPrintUnits;
  else if (what == "title")
    line.kind = Kind::kPrintTitle;
  else if (what == "dirty")
    line.kind = Kind::kPrintDirty;
  else
    return Fail("print takes totals, units, title or dirty");
  return Ok(line);
}

LineResult ParseWords(std::string_view text, const std::vector<std::string_view>& w) {
  const std::string_view verb = w[0];
  ReplayLine line;
  if (verb == "press") return ParseButtonLine(w, Kind::kPress);
  if (verb == "release") return ParseButtonLine(w, Kind::kRelease);
  if (verb == "move") return ParsePointLine(w, Kind::kMove, 0);
  if (verb == "resize") return ParsePointLine(w, Kind::kResize, 1);
  if (verb == "palette") return ParsePointLine(w, Kind::kPalette, 0);
  if (verb == "print") return ParsePrint(w);
  if (verb == "palette-escape" && w.size() == 1) {
    line.kind = Kind::kPaletteEscape;
    return Ok(line);
  }
  if (verb == "key") return ParseKeyLine(w, Kind::kKey);
  if (verb == "keydown") return ParseKeyLine(w, Kind::kKeyDown);
  if (verb == "keyup") return ParseKeyLine(w, Kind::kKeyUp);
  if (verb == "wheel") return ParseWheel(w);
  if (verb == "shot") {
    const std::string_view path = RestAfter(text, verb);
    if (path.empty()) return Fail("shot takes the path of a PNG file");
    line.kind = Kind::kShot;
    line.path = std::string(path);
    return Ok(line);
  }
  if (verb == "command") {
    const auto id = w.size() == 2 ? Number(w[1], command::kOpen, command::kLastMap) : std::nullopt;
    if (!id)
      return Fail("command takes a menu command id from " + std::to_string(command::kOpen) +
                  " to " + std::to_string(command::kLastMap));
    line.kind = Kind::kCommand;
    line.command = *id;
    return Ok(line);
  }
  if (verb == "answer") {
    if (w.size() != 2 || (w[1] != "ok" && w[1] != "cancel"))
      return Fail("answer takes ok or cancel");
    line.kind = Kind::kAnswer;
    line.ok = w[1] == "ok";
    return Ok(line);
  }
  if (verb == "dialog") {
    // The path is the rest of the line, blanks inside it included.
    const std::string_view rest = RestAfter(text, verb);
    if (rest.empty()) return Fail("dialog takes a path or cancel");
    line.kind = Kind::kDialog;
    if (rest != "cancel") line.path = std::string(rest);
    return Ok(line);
  }
  if (verb == "label") {
    line.kind = Kind::kLabel;
    line.text = std::string(RestAfter(text, verb));
    return Ok(line);
  }
  return Fail("unknown event '" + std::string(verb) + "'");
}

}  // namespace

Result<std::optional<ReplayLine>> ParseReplayLine(std::string_view text) {
  text = WithoutComment(text);
  const auto words = Words(text);
  if (words.empty()) return LineResult::Ok(std::nullopt);
  return ParseWords(text, words);
}

Result<std::vector<ReplayLine>> ParseReplayScript(std::string_view text) {
  std::vector<ReplayLine> lines;
  size_t number = 0;
  while (!text.empty()) {
    ++number;
    const size_t end = text.find('\n');
    const std::string_view raw = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    auto line = ParseReplayLine(raw);
    if (!line)
      return Result<std::vector<ReplayLine>>::Fail("line " + std::to_string(number) + ": " +
                                                   EscapeControls(line.error()));
    if (*line) lines.push_back(**line);
  }
  return Result<std::vector<ReplayLine>>::Ok(std::move(lines));
}

bool ReplayHost::Confirm(const std::string& text, const std::string&) {
  out_ << "prompt: " << text << '\n';
  return answer_;
}

void ReplayHost::ShowError(const std::string& text) { out_ << "error: " << text << '\n'; }

void ReplayHost::ReportFailure(const Failure& failure) {
  const FailureWords words = WordsFor(failure);
  ShowStatus(StatusField::kMessage, words.status);
  if (!words.box.empty()) ShowError(words.box);
}

void ReplayHost::ShowStatus(StatusField field, const std::string& text) {
  if ((field == StatusField::kMessage || field == StatusField::kWarning) && !text.empty())
    out_ << "status: " << text << '\n';
}

void ReplayHost::InvalidateMap(const QRect& client) {
  stale_ += client.isNull() ? QRect(QPoint(), client_) : client;
}

void ReplayHost::Repaint(const Viewer& viewer) {
  if (screen_.size() != client_) {
    // A window that changes size is painted whole.
    screen_ = QImage(client_, QImage::Format_RGB32);
    stale_ = QRect(QPoint(), client_);
  }
  stale_ &= QRect(QPoint(), client_);
  if (stale_.isEmpty()) return;
  QPainter painter(&screen_);
  painter.setClipRegion(stale_);
  painter.fillRect(stale_.boundingRect(), Qt::white);
  viewer.view().Paint(painter, stale_.boundingRect());
  stale_ = QRegion();
}

bool ReplayHost::RunLater() {
  if (later_.empty()) return false;
  // A task may keep another for after its own paint.
  for (auto tasks = std::exchange(later_, {}); auto& task : tasks) task();
  return true;
}

QImage FreshMapArea(const Viewer& viewer, QSize client) {
  QImage image(client, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  viewer.view().PaintFresh(painter, image.rect());
  return image;
}

Replay::Replay(const std::filesystem::path& programDir, std::ostream& out)
    : out_(out), host_(out), viewer_(host_, programDir) {}

Status Replay::Start(const std::string& position) {
  Status started = viewer_.Start(position);
  Paint();
  return started;
}

void Replay::Run(const ReplayLine& line) {
  Take(line);
  Paint();
}

void Replay::Paint() {
  host_.Repaint(viewer_);
  while (host_.RunLater()) host_.Repaint(viewer_);
}

void Replay::Shot(const std::string& path) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!host_.screen().save(&buffer, "PNG")) {
    out_ << "error: cannot encode the picture for " << path << '\n';
    return;
  }
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(png.constData()),
                                       static_cast<size_t>(png.size()));
  if (auto written = WriteFileAtomically(path, bytes); !written)
    out_ << "error: " << written.error() << '\n';
}

void Replay::Take(const ReplayLine& line) {
  switch (line.kind) {
    case Kind::kPress:
      return viewer_.MousePress(line.button, line.point, line.modifiers);
    case Kind::kRelease:
      return viewer_.MouseRelease(line.button, line.point);
    case Kind::kMove:
      return viewer_.MouseMove(line.point);
    case Kind::kResize:
      host_.SetClientSize(QSize(line.point.x(), line.point.y()));
      return viewer_.view().ClientResized();
    case Kind::kKey: {
      ReplayLine down = line;
      down.kind = Kind::kKeyDown;
      Take(down);
      return viewer_.KeyRelease(line.key, line.modifiers);
    }
    case Kind::kKeyDown:
      // As in the window: a shortcut takes its key's press, the map gets the others.
      if (const int id = ShortcutCommand(line.key, line.modifiers)) return viewer_.Command(id);
      return viewer_.KeyPress(line.key, line.modifiers);
    case Kind::kKeyUp:
      return viewer_.KeyRelease(line.key, line.modifiers);
    case Kind::kWheel:
      return viewer_.Wheel(line.point, line.delta, line.modifiers & kCtrl);
    case Kind::kShot:
      return Shot(*line.path);
    case Kind::kPalette:
      return viewer_.editing().PaletteClick(line.point);
    case Kind::kPaletteEscape:
      return viewer_.editing().PaletteEscape();
    case Kind::kCommand:
      return viewer_.Command(line.command);
    case Kind::kAnswer:
      return host_.SetAnswer(line.ok);
    case Kind::kDialog:
      return host_.SetDialog(line.path);
    case Kind::kLabel:
      return host_.SetTurnLabel(line.text);
    case Kind::kPrintTotals:
      out_ << TotalsReport(viewer_.position());
      return;
    case Kind::kPrintUnits:
      out_ << WithoutCarriageReturns(BuildUnitList(viewer_.position()));
      return;
    case Kind::kPrintTitle:
      out_ << host_.title() << '\n';
      return;
    case Kind::kPrintDirty:
      out_ << (viewer_.position().dirty() ? 1 : 0) << '\n';
      return;
  }
}

}  // namespace mw
