// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditCommand.h"

#include "Position.h"

namespace mw {
namespace {

// The pieces of an edit as a record standing at one of its places.
Unit Pieces(const UndoEntry& e, uint16_t x, uint16_t y, uint16_t sector) {
  Unit rec;
  rec.x = x;
  rec.y = y;
  rec.sector = sector;
  rec.pieceType = e.pieceType;
  rec.country = e.country;
  rec.count = e.count;
  return rec;
}

}  // namespace

bool EditCommand::Undo(Position& p) {
  undone_.clear();
  const Position::Journaling journaling(p, undone_);
  if (!done_.empty() && p.fingerprint() == after_) {
    for (auto step = done_.rbegin(); step != done_.rend(); ++step) p.TakeBack(*step);
    return true;
  }
  const UndoEntry& e = entry_;
  switch (e.kind) {
    case UndoKind::kAdd:
      return p.TakePieces(to_, e.toX, e.toY, e.count);
    case UndoKind::kMove: {
      const bool taken = p.TakePieces(to_, e.toX, e.toY, e.count);
      return p.PutPieces(from_, Pieces(e, e.fromX, e.fromY, e.fromSector)) || taken;
    }
    case UndoKind::kRemove:
      return p.PutPieces(from_, Pieces(e, e.fromX, e.fromY, e.fromSector));
    case UndoKind::kNone:
      break;
  }
  return false;
}

void EditCommand::Redo(Position& p) const {
  for (auto step = undone_.rbegin(); step != undone_.rend(); ++step) p.TakeBack(*step);
}

}  // namespace mw
