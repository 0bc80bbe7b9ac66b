// SPDX-License-Identifier: GPL-3.0-or-later
// Whole processes, as the benchmarks time them.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace bench {

// Runs a program with its arguments, its output thrown away, and waits for it: its exit status,
// or -1 where it did not exit.
inline int RunProcess(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Puts the program built as `built` into `folder` (a hard link, a copy where links fail), where
// it finds the map packages beside itself; returns its path there.
inline std::filesystem::path ProgramBeside(const std::filesystem::path& built,
                                           const std::filesystem::path& folder) {
  const std::filesystem::path program = folder / built.filename();
  std::error_code error;
  std::filesystem::remove(program, error);
  std::filesystem::create_hard_link(built, program, error);
  if (error) std::filesystem::copy_file(built, program, error);
  return program;
}

}  // namespace bench
