// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace mw {

// The arguments are the command line's bytes as they are: a path reaches the file system byte for
// byte, whatever its encoding.
// True when the arguments ask for the mode without windows (or for help or the version).
bool IsHeadless(const std::vector<std::string>& args);

// Runs the start-up of the main window without any window, then prints the country totals
// (--totals), the unit list (--units), or writes the composed map picture (--render FILE.png
// [--zoom F] [--ipc]). Returns the exit code: 0, 1 for a bad command line, 2 for a position that
// cannot be read, 3 for a picture that cannot be written.
int RunHeadless(const std::vector<std::string>& args, const std::filesystem::path& programDir,
                std::ostream& out, std::ostream& err);

}  // namespace mw
