// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <cstdint>
#include <filesystem>

#include "Result.h"

namespace mw {

// Loads a picture of a map package (the map, the piece images) from a regular file, read once.
// Any picture that fits in memory loads, however large: the decoder may take what the picture's
// own header says it needs, no more. Fails with a reason for a missing, unreadable or damaged
// file and for a picture larger than this machine's memory.
Result<QImage> LoadPicture(const std::filesystem::path& path);

// A picture of 32-bit pixels (QImage::Format_RGB32) whose pixels are not yet written, in the
// memory for big buffers: a large one is backed by huge pages and reuses the memory of one of
// the same size freed before, so that composing band after band or tile after tile does not
// touch fresh memory each time.
QImage BlankPicture(int width, int height);

// What the program may still take: the machine's memory, or less where the process is limited.
uint64_t MemoryBudget();

}  // namespace mw
