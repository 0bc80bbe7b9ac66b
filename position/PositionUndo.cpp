// SPDX-License-Identifier: GPL-3.0-or-later
// The undo history: one command per edit, newest first, without limit (see EditCommand). The
// totals follow the pieces an undo takes away or puts back, and an undo that changed the board
// leaves it with unsaved changes unless it is the saved board again. What an undo took back waits
// in the redo history until it is made again or a new edit comes.
#include <algorithm>

#include "Position.h"

namespace mw {

void Position::Record(const UndoEntry& entry, UnitRef from, UnitRef to,
                      std::vector<ListStep> steps) {
  // An edit made while pieces are carried is taken back once they are back: its list is the one
  // it left with the carried pieces on their stack. Where it changed that stack, only the search
  // by place can take it back.
  SettleFingerprint();
  uint64_t after = fingerprint_;
  if (hand_.active) {
    const Unit* source = Resolve(hand_.source);
    const bool touched =
        !source || std::any_of(steps.begin(), steps.end(), [&](const ListStep& step) {
          return step.before.serial == source->serial;
        });
    if (touched) {
      steps.clear();
    } else {
      Unit settled = *source;
      settled.count = static_cast<uint16_t>(
          std::min<uint32_t>(uint32_t{settled.count} + hand_.carried.count, kMaxCount));
      after = after - Digest(*source) + Digest(settled);
    }
  }
  undo_.emplace_back(entry, from, to, std::move(steps), after);
  redo_.clear();
}

void Position::RecordAdd(const Unit& unit, UnitRef to, std::vector<ListStep> steps) {
  UndoEntry e;
  e.kind = UndoKind::kAdd;
  e.toX = unit.x;
  e.toY = unit.y;
  e.toSector = unit.sector;
  e.pieceType = unit.pieceType;
  e.country = unit.country;
  e.count = unit.count;
  Record(e, {}, to, std::move(steps));
}

void Position::RecordRemove(const Unit& unit, uint16_t removed, UnitRef from,
                            std::vector<ListStep> steps) {
  UndoEntry e;
  e.kind = UndoKind::kRemove;
  e.fromX = unit.x;
  e.fromY = unit.y;
  e.fromSector = unit.sector;
  e.pieceType = unit.pieceType;
  e.country = unit.country;
  e.count = removed;
  Record(e, from, {}, std::move(steps));
}

void Position::RecordMove(const Unit& before, const Unit& after, UnitRef from, UnitRef to,
                          std::vector<ListStep> steps, bool listChanged) {
  // Pieces put down where they stood are no move, unless the list changed its order for them.
  if (before.x == after.x && before.y == after.y && !listChanged) return;
  UndoEntry e;
  e.kind = UndoKind::kMove;
  e.fromX = before.x;
  e.fromY = before.y;
  e.fromSector = before.sector;
  e.pieceType = before.pieceType;
  e.country = before.country;
  e.count = before.count;
  e.toX = after.x;
  e.toY = after.y;
  e.toSector = after.sector;
  Record(e, from, to, std::move(steps));
}

Unit* Position::Follow(UnitRef ref) {
  // A stack that went may have been made again by an undo or a redo: its successor stands for it.
  for (int hops = 0; hops <= static_cast<int>(successors_.size()); ++hops) {
    if (Unit* unit = Mutable(Resolve(ref))) return unit;
    const auto next = successors_.find(ref.serial);
    if (next == successors_.end()) return nullptr;
    ref = next->second;
  }
  return nullptr;
}

bool Position::TakePieces(UnitRef ref, uint16_t x, uint16_t y, uint16_t count) {
  Unit* unit = Follow(ref);
  // The stack went meanwhile: the first stack near its place, whatever its kind.
  if (!unit) unit = Mutable(FindUnitAt(x, y));
  if (!unit) return false;
  if (unit->count > count)
    SetCount(*unit, static_cast<uint16_t>(unit->count - count));
  else
    RemoveUnit(unit);
  return true;
}

bool Position::PutPieces(UnitRef ref, const Unit& pieces) {
  Unit rec = pieces;
  Unit* unit = Follow(ref);
  if (unit && unit->count < kMaxCount) {
    const auto room = static_cast<uint16_t>(kMaxCount - unit->count);
    const auto back = std::min(rec.count, room);
    SetCount(*unit, static_cast<uint16_t>(unit->count + back));
    rec.count = static_cast<uint16_t>(rec.count - back);
    if (rec.count == 0) return true;
  }
  // The stack went (or is full): the pieces go where AddUnit puts them, and that stack stands
  // for the one that went.
  const Unit* holder = AddUnit(rec);
  if (holder && !ref.empty() && !unit) successors_[ref.serial] = UnitRef::To(*holder);
  return holder != nullptr || unit != nullptr;
}

void Position::Journal(ListStep::Kind kind, const Unit& before) {
  if (journal_) journal_->push_back({kind, before.slot, before});
}

// Takes one step of an undo back. Steps are taken back newest first, so the list stands as it
// stood right after the step.
void Position::TakeBack(const ListStep& step) {
  // Every change of the list between the undo and the redo ends the redo history; a slot out of
  // the list would be a broken rule, and is passed over rather than followed.
  const bool inList = step.slot < units_.size();
  if (!inList && step.kind != ListStep::kRemove) return;
  BeforeListChange();
  // Each step taken back is itself journalled, so that what an undo took back a redo gives back.
  switch (step.kind) {
    case ListStep::kCount:
      SetCount(*units_[step.slot], step.before.count);
      return;
    case ListStep::kInsert: {
      Unit* unit = units_[step.slot];
      // As a removal: which marker holds a sector may change with the stack or the order.
      recomputeOwed_ = recomputeOwed_ || TriggersRecompute(*unit) ||
                       (step.slot + 1 != units_.size() && units_.back()->pieceType == 0);
      Journal(ListStep::kRemove, *unit);
      Changed(*unit);
      Fingerprint(*unit, -1);
      AdjustStrength(*unit, -1);
      index_.Erase(*unit, step.slot);
      if (step.slot + 1 != units_.size()) {
        Unit* last = units_.back();
        Fingerprint(*last, -1);
        index_.Reslot(*last, last->slot, step.slot);
        last->slot = step.slot;
        units_[step.slot] = last;
        Fingerprint(*last, +1);
        Changed(*last);
      }
      units_.pop_back();
      pool_.Release(unit);
      return;
    }
    case ListStep::kAppend: {
      Unit* last = units_.back();
      recomputeOwed_ = recomputeOwed_ || TriggersRecompute(*last);
      Journal(ListStep::kRemove, *last);
      Changed(*last);
      Fingerprint(*last, -1);
      AdjustStrength(*last, -1);
      index_.Erase(*last, last->slot);
      units_.pop_back();
      pool_.Release(last);
      return;
    }
    case ListStep::kRemove: {
      // The very stack comes back, under its own serial, so that the edits that name it find it;
      // the removal moved the last unit into its slot: that one goes back to the end.
      Unit* unit = pool_.Allocate(step.before);
      recomputeOwed_ = recomputeOwed_ || TriggersRecompute(*unit) ||
                       (inList && units_[step.slot]->pieceType == 0);
      if (inList) {
        Unit* moved = units_[step.slot];
        Fingerprint(*moved, -1);
        index_.Reslot(*moved, moved->slot, static_cast<uint32_t>(units_.size()));
        moved->slot = static_cast<uint32_t>(units_.size());
        Fingerprint(*moved, +1);
        units_.push_back(moved);
        Changed(*moved);
        units_[step.slot] = unit;
        unit->slot = step.slot;
      } else {
        unit->slot = static_cast<uint32_t>(units_.size());
        units_.push_back(unit);
      }
      index_.Insert(*unit, unit->slot);
      Fingerprint(*unit, +1);
      AdjustStrength(*unit, +1);
      Changed(*unit);
      Journal(inList ? ListStep::kInsert : ListStep::kAppend, *unit);
      return;
    }
  }
}

void Position::UndoLast() {
  const Transaction transaction(*this);
  CancelCarry();
  if (undo_.empty()) return;
  EditCommand edit = std::move(undo_.back());
  undo_.pop_back();
  recomputeOwed_ = false;
  if (edit.Undo(*this)) redo_.push_back(std::move(edit));
  // Which marker holds a sector follows from the list order, which the undo gave back: counted
  // again where a step moved a marker or a stack that decides a sector.
  if (recomputeOwed_) RecomputeTotals();
}

void Position::RedoLast() {
  const Transaction transaction(*this);
  CancelCarry();
  if (redo_.empty()) return;
  EditCommand edit = std::move(redo_.back());
  redo_.pop_back();
  recomputeOwed_ = false;
  edit.Redo(*this);
  undo_.push_back(std::move(edit));
  // The same for what the redo gave back.
  if (recomputeOwed_) RecomputeTotals();
}

}  // namespace mw
