// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunProgram.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempDir.h"

namespace mw::test {
namespace {

constexpr unsigned kRunSeconds = 120;

}  // namespace

ProgramRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const std::filesystem::path& workDir) {
  TempDir capture;
  const auto outPath = capture / "out";
  const auto errPath = capture / "err";
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (::chdir(workDir.c_str()) != 0) ::_exit(126);
    // A program that hangs is killed, and counts as one that did not exit normally.
    ::alarm(kRunSeconds);
    std::vector<char*> argv;
    std::string name = program.string();
    argv.push_back(name.data());
    std::vector<std::string> copies = args;
    for (auto& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(name.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ProgramRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadText(outPath);
  run.err = ReadText(errPath);
  return run;
}

}  // namespace mw::test
