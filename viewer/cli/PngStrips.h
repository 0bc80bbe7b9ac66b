// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <filesystem>
#include <functional>

#include "Result.h"

namespace mw {

// Writes a PNG picture of `width` x `height` that `strip(top, rows)` hands over a band of rows at
// a time, top band first, so that the whole picture is never in memory. The file is written
// beside `path` under another name and renamed over it once complete and flushed, so that `path`
// holds the old file or the new one, whole.
Status WritePngInStrips(const std::filesystem::path& path, int width, int height, int stripRows,
                        const std::function<QImage(int top, int rows)>& strip);

}  // namespace mw
