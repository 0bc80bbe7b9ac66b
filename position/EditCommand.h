// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "UndoEntry.h"
#include "Unit.h"

namespace mw {

class Position;

// One change an undo made to the unit list, with the unit as it was before: what a redo takes
// back, newest first, so that the list stands again exactly as it stood before the undo.
struct ListStep {
  // kCount: a count changed; kAppend: a stack added at the end; kRemove: a stack taken away, the
  // last one moved into its slot; kInsert: a stack put back into its slot, the one there moved
  // to the end.
  enum Kind : uint8_t { kCount, kAppend, kRemove, kInsert } kind;
  uint32_t slot;
  Unit before;
};

// One edit of the board as the undo history keeps it: what it did, in the words of the board
// (its kind, places, piece, country and count), and the stacks it took pieces from and put them
// on. Undo acts on those stacks while they are there and looks for a stack by place only where
// one has gone (a stack an undo made again stands for the one that went); redo takes back what
// the undo did, step by step, so that the board is again the one before the undo, stack for
// stack and in list order.
class EditCommand {
 public:
  EditCommand(const UndoEntry& entry, UnitRef from, UnitRef to, std::vector<ListStep> done = {},
              uint64_t fingerprint = 0)
      : entry_(entry), from_(from), to_(to), done_(std::move(done)), after_(fingerprint) {}

  const UndoEntry& entry() const { return entry_; }
  // Takes the edit back; false when it changed nothing (no stack was there to take it back from).
  bool Undo(Position& position);
  // Does it again, after its undo.
  void Redo(Position& position) const;

 private:
  UndoEntry entry_;
  UnitRef from_;  // the stack the pieces were taken from (remove, move)
  UnitRef to_;    // the stack the pieces were put on (add, move)
  // What the edit did to the list: an undo takes it back step by step, so that the list stands
  // again exactly as before the edit, in list order too.
  // Taken back only while the list is the one the edit left (its fingerprint then): a list
  // changed otherwise is searched as below.
  std::vector<ListStep> done_;
  uint64_t after_ = 0;
  std::vector<ListStep> undone_;  // what the last undo did to the list
};

}  // namespace mw
