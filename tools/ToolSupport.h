// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace mw::tool {

// Exit codes shared by the tools.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitInput = 2;   // the input file cannot be read or is not valid
inline constexpr int kExitOutput = 3;  // the output file cannot be written

inline bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

// "--version": prints the tool's name and the version of Marrowind it came with, and is true.
inline bool AnswersVersion(int argc, char** argv, const char* tool) {
  if (argc < 2 || std::string_view(argv[1]) != "--version") return false;
  std::printf("%s (Marrowind) %s\n", tool, MARROWIND_VERSION);
  return true;
}

// Prints "error: <text>" on standard error and returns `code`.
inline int Fail(int code, const std::string& text) {
  std::fprintf(stderr, "error: %s\n", text.c_str());
  return code;
}

}  // namespace mw::tool
