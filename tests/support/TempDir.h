// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace mw::test {

// A fresh directory for one test, removed with everything in it when the test ends.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  std::filesystem::path Write(std::string_view name, std::string_view text) const;
  std::filesystem::path Write(std::string_view name, const std::vector<uint8_t>& bytes) const;

 private:
  std::filesystem::path path_;
};

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
std::string ReadText(const std::filesystem::path& path);

}  // namespace mw::test
