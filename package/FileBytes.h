#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "Result.h"

namespace mw {

// Reads at most `maxBytes` bytes from the start of a file. Fails only when the file cannot be
// opened or read; a shorter file gives fewer bytes.
Result<std::vector<uint8_t>> ReadFileBytes(const std::filesystem::path& path,
                                           size_t maxBytes = SIZE_MAX);

// Replaces `path` with `bytes` so that the old file survives any failure: the bytes go to a
// temporary file in the same directory, are flushed to the disk, and only then is the temporary
// renamed over the target; after a crash or a power loss the target holds the old bytes or the new
// ones, whole. On failure the temporary is removed, the target is untouched and
// `error` (when given) says why.
bool WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                         std::string* error = nullptr);
// The same for a file made of several pieces, written one after the other.
bool WriteFileAtomically(const std::filesystem::path& path,
                         std::initializer_list<std::span<const uint8_t>> pieces,
                         std::string* error = nullptr);

}  // namespace mw
