// SPDX-License-Identifier: GPL-3.0-or-later
// gimcheck: reads a map package as the viewer will read it and names every defect it finds, one
// line each, with a summary line at the end.
#include <cstdio>
#include <string>

#include "Locations.h"
#include "PackageCheck.h"
#include "ToolSupport.h"

namespace {

constexpr const char* kUsage =
    "Usage: gimcheck PACKAGE\n"
    "Checks the map package folder PACKAGE (Name.gim) as the viewer reads it and prints one\n"
    "line per finding, \"error: <file>: <where>: <what>\" or \"warning: ...\", then\n"
    "\"N errors, M warnings\". Exit code 0 without errors, 1 with errors (or a bad command\n"
    "line), 2 when the package cannot be read at all.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace mw;
  using namespace mw::tool;
  if (AnswersVersion(argc, argv, "gimcheck")) return kExitOk;
  if (argc >= 2 && IsHelp(argv[1])) {
    std::fputs(kUsage, stdout);
    return kExitOk;
  }
  if (argc != 2) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  // The other packages' titles, where Marrowind beside this program looks for maps.
  auto report = CheckPackage(argv[1], MapFolders(ProgramDir(argv[0])));
  if (!report) return Fail(kExitInput, report.error());
  std::string out;
  for (const Finding& f : report->findings) out += f.Line() + "\n";
  out += report->Summary() + "\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (std::fflush(stdout) != 0) return kExitOutput;
  return report->errors() > 0 ? 1 : kExitOk;
}
