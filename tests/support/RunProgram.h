// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mw::test {

struct ProgramRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs a program with the given arguments in `workDir`, standard input empty, and captures what
// it writes. The exit code is -1 when it did not exit normally; a run of more than two minutes is
// ended that way.
ProgramRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const std::filesystem::path& workDir);

}  // namespace mw::test
