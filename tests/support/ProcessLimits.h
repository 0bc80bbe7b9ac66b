// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#if defined(__SANITIZE_ADDRESS__)
#define MW_TEST_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MW_TEST_ADDRESS_SANITIZER 1
#endif
#endif

namespace mw::test {

// AddressSanitizer reserves terabytes of shadow memory, so a process under it cannot live within
// a limit of its address space: tests of such limits skip themselves there.
#ifdef MW_TEST_ADDRESS_SANITIZER
inline constexpr bool kMemoryLimitsWork = false;
#else
inline constexpr bool kMemoryLimitsWork = true;
#endif

// Runs `body` in a child process after `limit` (one of setrlimit's resources) is set to `max`.
// Returns the child's exit code (the value `body` returns), or -1 when it did not exit normally.
inline int RunWithLimit(int limit, rlim_t max, const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    const rlimit value{max, max};
    ::setrlimit(limit, &value);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs `body` in a child process whose files may not grow past `maxFileBytes`, as on a full disk:
// writes beyond it fail with EFBIG instead of killing the process.
inline int RunWithFileSizeLimit(rlim_t maxFileBytes, const std::function<int()>& body) {
  return RunWithLimit(RLIMIT_FSIZE, maxFileBytes, [&] {
    std::signal(SIGXFSZ, SIG_IGN);
    return body();
  });
}

// Runs `body` in a child process that may not take more than `maxBytes` of address space, so that
// a reader that would read more than it needs fails there (-1) instead of slowing the machine.
inline int RunWithMemoryLimit(rlim_t maxBytes, const std::function<int()>& body) {
  return RunWithLimit(RLIMIT_AS, maxBytes, body);
}

}  // namespace mw::test
