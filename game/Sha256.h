// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace mw {

// SHA-256 (FIPS 180-4), fed in pieces: what proves a game's chain of turns.
class Sha256 {
 public:
  Sha256();
  Sha256& Add(std::span<const uint8_t> bytes);
  Sha256& Add(std::string_view text) {
    return Add(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  }
  // The digest of everything added, as 64 lowercase hexadecimal digits. Ends the hash.
  std::string HexDigest();

 private:
  void Block(const uint8_t* block);

  std::array<uint32_t, 8> state_;
  std::array<uint8_t, 64> buffer_{};
  size_t buffered_ = 0;
  uint64_t length_ = 0;  // bytes added
};

}  // namespace mw
