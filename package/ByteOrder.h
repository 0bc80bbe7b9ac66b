// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace mw {

// Little-endian field access on byte buffers. Readers check that the bytes are there before they
// call these; the functions themselves assume `at + size <= bytes.size()`.
inline uint16_t GetU16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

inline uint32_t GetU32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<uint32_t>(bytes[at + 2]) << 16) |
         (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

inline int32_t GetI32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<int32_t>(GetU32(bytes, at));
}

inline uint64_t GetU64(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint64_t>(GetU32(bytes, at)) |
         (static_cast<uint64_t>(GetU32(bytes, at + 4)) << 32);
}

inline void PutU16(std::span<uint8_t> bytes, size_t at, uint16_t v) {
  bytes[at] = static_cast<uint8_t>(v);
  bytes[at + 1] = static_cast<uint8_t>(v >> 8);
}

inline void PutU32(std::span<uint8_t> bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline void PutU64(std::span<uint8_t> bytes, size_t at, uint64_t v) {
  for (int i = 0; i < 8; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Appending writers for building files in memory.
inline void AppendU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void AppendU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline void AppendU64(std::vector<uint8_t>& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace mw
