// SPDX-License-Identifier: GPL-3.0-or-later
// sekdump: prints the 512 records of a sector table, one line each: the name left-aligned in 40
// columns, then the nine values as eight hexadecimal digits. With --text it prints the records of
// the file as vorn's input instead, each under a comment that names its fields, so that an author
// can edit the table and compile it back.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "SectorRecord.h"
#include "SectorTable.h"
#include "SectorText.h"
#include "ToolSupport.h"

namespace {

constexpr size_t kBufferSize = 50000;
constexpr const char* kUsage =
    "Usage: sekdump <sectortable>\n"
    "       sekdump --text <sectortable>\n"
    "Prints the 512 records of a sector table; with --text, the records of the file as vorn's\n"
    "input, each under a comment naming its fields, to be edited and compiled back with vorn.\n";

// The records of the file as vorn's text; records no text can give back exactly are named on
// standard error, and the exit code says so.
int PrintText(const std::vector<uint8_t>& bytes, const char* path) {
  using namespace mw;
  const size_t records = std::min<size_t>(bytes.size() / SectorRecord::kSize, kSectorSlots - 1);
  std::string out = "# The sector table " + std::string(path) + ", " + std::to_string(records) +
                    " records, as vorn's input.\n";
  int inexact = 0;
  for (size_t n = 0; n < records; ++n) {
    const SectorRecord record(std::span<const uint8_t>(bytes)
                                  .subspan(n * SectorRecord::kSize)
                                  .first<SectorRecord::kSize>());
    std::string problem;
    out += SectorRecordText(record, static_cast<int>(n + 1), &problem);
    if (!problem.empty()) {
      std::fprintf(stderr, "warning: %s: record %zu: %s; vorn will not give it back exactly\n",
                   path, n + 1, problem.c_str());
      ++inexact;
    }
  }
  if (bytes.size() % SectorRecord::kSize != 0 && records < kSectorSlots - 1)
    std::fprintf(stderr, "warning: %s: %zu bytes after the last whole record are left out\n", path,
                 bytes.size() % SectorRecord::kSize);
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (std::fflush(stdout) != 0) return mw::tool::kExitOutput;
  return inexact ? mw::tool::kExitInput : mw::tool::kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace mw;
  using namespace mw::tool;
  if (AnswersVersion(argc, argv, "sekdump")) return kExitOk;
  if (argc >= 2 && IsHelp(argv[1])) {
    std::fputs(kUsage, stdout);
    return kExitOk;
  }
  const bool text = argc >= 2 && std::string(argv[1]) == "--text";
  if (argc < (text ? 3 : 2)) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  if (text) {
    auto bytes = ReadFileBytes(argv[2]);
    if (!bytes) return Fail(kExitInput, bytes.error());
    return PrintText(*bytes, argv[2]);
  }
  auto bytes = ReadFileBytes(argv[1], kBufferSize);
  if (!bytes) return Fail(kExitInput, bytes.error());
  // Records past the end of a short file read as zero: empty names and zero values.
  std::vector<uint8_t> buffer = std::move(bytes.value());
  buffer.resize(kSectorSlots * SectorRecord::kSize, 0);

  std::string out;
  char line[160];
  for (int n = 0; n < kSectorSlots; ++n) {
    const SectorRecord record(std::span<const uint8_t>(buffer)
                                  .subspan(n * SectorRecord::kSize)
                                  .first<SectorRecord::kSize>());
    std::snprintf(line, sizeof line, "%-40s:", record.name().c_str());
    out += line;
    for (int v = 1; v <= SectorRecord::kValueCount; ++v) {
      std::snprintf(line, sizeof line, " %08x", record.value(v));
      out += line;
    }
    out += '\n';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return std::fflush(stdout) == 0 ? kExitOk : kExitOutput;
}
