#pragma once

#include <QStringList>
#include <filesystem>
#include <iosfwd>

namespace mw {

// True when the arguments ask for the mode without windows (or for help or the version).
bool IsHeadless(const QStringList& args);

// Runs the start-up of the main window without any window, then prints the country totals
// (--totals), the unit list (--units), or writes the composed map picture (--render FILE.png
// [--zoom F] [--ipc]). Returns the exit code: 0, 1 for a bad command line, 2 for a position that
// cannot be read, 3 for a picture that cannot be written.
int RunHeadless(const QStringList& args, const std::filesystem::path& programDir, std::ostream& out,
                std::ostream& err);

}  // namespace mw
