#pragma once

#include <QImage>
#include <filesystem>

#include "Result.h"

namespace mw {

// Loads a picture of a map package (the map, the piece images) from a regular file, read once.
// Any picture that fits in memory loads, however large: the decoder may take what the picture's
// own header says it needs, no more. Fails with a reason for a missing, unreadable or damaged
// file and for a picture larger than this machine's memory.
Result<QImage> LoadPicture(const std::filesystem::path& path);

}  // namespace mw
