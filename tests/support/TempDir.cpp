// SPDX-License-Identifier: GPL-3.0-or-later
#include "TempDir.h"

#include <stdlib.h>

#include <iterator>
#include <stdexcept>

namespace mw::test {
namespace {

// The tests and the programs they start never meet the user's own maps, installed maps, settings
// or recovery copies: the per-user and system folders point into a folder of the tests' own.
const bool kOwnFolders = [] {
  const std::string base =
      (std::filesystem::temp_directory_path() / "marrowind-tests-xdg").string() + "/";
  for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_STATE_HOME"})
    ::setenv(name, (base + name).c_str(), 1);
  return true;
}();

}  // namespace

TempDir::TempDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "marrowind-test-XXXXXX").string();
  if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::Write(std::string_view name, std::string_view text) const {
  const auto p = path_ / name;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
  return p;
}

std::filesystem::path TempDir::Write(std::string_view name,
                                     const std::vector<uint8_t>& bytes) const {
  return Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace mw::test
