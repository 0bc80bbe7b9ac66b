// The game the board belongs to: "&Record Turn" and "&Open Game ...".
#include "PositionFile.h"
#include "Viewer.h"

namespace mw {

void Viewer::RecordTurn() {
  const auto fail = [&](const std::string& reason) {
    ++failures_;
    host_.ShowStatus(StatusField::kMessage, "Could not record the turn: " + reason);
    host_.ShowError(reason);
  };
  if (!game_) {
    const auto chosen = host_.ChooseGameFile(true);
    if (!chosen) return;
    std::filesystem::path path = *chosen;
    if (!IsGamePath(path.string())) path += GameFile::kExtension;
    auto game = GameFile::OpenOrCreate(path, position_.mapName(), PackageFolder(map_.packageName));
    if (!game) return fail(game.error());
    game_.emplace(std::move(game.value()));
  }
  auto turns = game_->Turns();
  if (!turns) return fail(turns.error());
  const auto text = host_.AskTurnText("Turn " + std::to_string(turns->size() + 1));
  if (!text) return;
  auto turn = game_->Record(EncodePosition(position_, false), text->label, text->note);
  if (!turn) return fail(turn.error());
  host_.ShowStatus(StatusField::kMessage, "Recorded turn " + std::to_string(turn->number) + " \"" +
                                              turn->label + "\" in " + game_->path().string());
}

void Viewer::OpenGame() {
  if (!ConfirmDiscard()) return;
  const auto chosen = host_.ChooseGameFile(false);
  if (!chosen) return;
  const auto fail = [&](const std::string& reason) {
    ++failures_;
    host_.ShowStatus(StatusField::kMessage, "Could not open the game: " + reason);
    host_.ShowError(reason);
  };
  auto game = GameFile::Open(*chosen, true);
  if (!game) return fail(game.error());
  auto turns = game->Turns();
  if (!turns) return fail(turns.error());
  if (turns->empty()) return fail(*chosen + ": the game has no turns yet");
  auto bytes = game->PositionOf(turns->back().number);
  if (!bytes) return fail(bytes.error());
  EndComparison();
  LoadPositionBytes(position_, *bytes);
  game_.emplace(std::move(game.value()));
  // The turn is kept in the game: the board has no position file and nothing unsaved.
  document_.currentFile.clear();
  document_.restoredFile = false;
  LoadMapPackage(position_.mapName());
  host_.InvalidateMap(QRect());
  position_.RecomputeTotals();
  position_.MarkClean();
  KeepRecoveryCopy();
  host_.ShowStatus(StatusField::kMessage, "Opened the game " + *chosen + " at turn " +
                                              std::to_string(turns->back().number) + " \"" +
                                              turns->back().label + "\"");
}

}  // namespace mw
