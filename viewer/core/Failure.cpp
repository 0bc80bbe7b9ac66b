// SPDX-License-Identifier: GPL-3.0-or-later
#include "Failure.h"

#include <filesystem>

#include "Texts.h"

namespace mw {

bool MustBeAcknowledged(Failure::Action action) {
  using enum Failure::Action;
  switch (action) {
    case kSave:
    case kExport:
    case kRecordTurn:
    case kTakeTurns:
    case kChangeTurn:
    case kOpenNamed:
      return true;
    case kOpen:
    case kOpenGame:
    case kLoadTurn:
    case kCompare:
      return false;
  }
  return true;
}

FailureWords WordsFor(const Failure& f) {
  using enum Failure::Action;
  const std::filesystem::path file(f.file);
  const std::string name = file.filename().string(), folder = file.parent_path().string();
  FailureWords words;
  switch (f.action) {
    case kOpen:
      words.status = Tr("Failure", "Could not open %1: %2").arg(f.file).arg(f.reason);
      break;
    case kSave:
      words.status = Tr("Failure", "Could not save %1: %2").arg(f.file).arg(f.reason);
      words.box =
          Tr("Failure", "The position could not be saved to %1.\n%2").arg(f.file).arg(f.reason);
      break;
    case kExport:
      words.status =
          Tr("Failure", "Could not write %1 into %2: %3").arg(name).arg(folder).arg(f.reason);
      words.box =
          Tr("Failure", "%1 could not be written into %2.\n%3").arg(name).arg(folder).arg(f.reason);
      break;
    case kOpenGame:
      words.status = Tr("Failure", "Could not open the game: %1").arg(f.reason);
      break;
    case kOpenNamed:
      words.status = Tr("Failure", "Could not open %1: %2").arg(f.file).arg(f.reason);
      words.box = Tr("Failure", "%1 could not be opened; the start position is on the board.\n%2")
                      .arg(f.file)
                      .arg(f.reason);
      break;
    case kRecordTurn:
      words.status = Tr("Failure", "Could not record the turn: %1").arg(f.reason);
      words.box = Tr("Failure", "The turn was not recorded in %1.\n%2").arg(f.file).arg(f.reason);
      break;
    case kTakeTurns:
      words.status = Tr("Failure", "Could not take the turns: %1").arg(f.reason);
      words.box = Tr("Failure", "No turn was taken into %1.\n%2").arg(f.file).arg(f.reason);
      break;
    case kLoadTurn:
      words.status = Tr("Failure", "Could not load the turn: %1").arg(f.reason);
      break;
    case kChangeTurn:
      words.status = Tr("Failure", "Could not change the turn: %1").arg(f.reason);
      words.box = Tr("Failure", "The turn was not changed in %1.\n%2").arg(f.file).arg(f.reason);
      break;
    case kCompare:
      words.status = Tr("Failure", "Could not compare: %1").arg(f.reason);
      break;
  }
  // Before a file is known (no game chosen yet), the reason is all there is to say.
  if (!words.box.empty() && f.file.empty()) words.box = f.reason;
  return words;
}

}  // namespace mw
