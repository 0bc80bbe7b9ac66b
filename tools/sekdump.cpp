// sekdump: prints the 512 records of a sector table, one line each: the name left-aligned in 40
// columns, then the nine values as eight hexadecimal digits.
#include <cstdio>
#include <string>
#include <vector>

#include "FileBytes.h"
#include "SectorRecord.h"
#include "SectorTable.h"
#include "ToolSupport.h"

namespace {

constexpr size_t kBufferSize = 50000;
constexpr const char* kUsage = "Usage: sekdump <sectortable>\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace mw;
  using namespace mw::tool;
  if (argc >= 2 && IsHelp(argv[1])) {
    std::fputs(kUsage, stdout);
    return kExitOk;
  }
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
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
