#include "Picture.h"

#include <unistd.h>

#include <QBuffer>
#include <QImageReader>

#include "FileBytes.h"

namespace mw {
namespace {

constexpr uint64_t kMegabyte = uint64_t{1} << 20;

uint64_t PhysicalMemory() {
  const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return UINT64_MAX;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}

// Sets the decoder's allocation limit for as long as it lives, then restores the old one: the
// limit is one setting for the whole program.
class AllocationLimit {
 public:
  explicit AllocationLimit(int megabytes) : old_(QImageReader::allocationLimit()) {
    QImageReader::setAllocationLimit(megabytes);
  }
  ~AllocationLimit() { QImageReader::setAllocationLimit(old_); }
  AllocationLimit(const AllocationLimit&) = delete;
  AllocationLimit& operator=(const AllocationLimit&) = delete;

 private:
  int old_;
};

}  // namespace

Result<QImage> LoadPicture(const std::filesystem::path& path) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return Result<QImage>::Fail(bytes.error());
  const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes->data()),
                                                  static_cast<qsizetype>(bytes->size()));
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QSize size = reader.size();
  // The decoder refuses a header that announces more pixels than the file could hold.
  if (!size.isValid()) return Result<QImage>::Fail(path.string() + ": not a readable picture");
  // Decoded at 4 bytes a pixel at most.
  const uint64_t need =
      4 * static_cast<uint64_t>(size.width()) * static_cast<uint64_t>(size.height());
  if (need > PhysicalMemory())
    return Result<QImage>::Fail(path.string() + ": a picture of " + std::to_string(size.width()) +
                                " x " + std::to_string(size.height()) +
                                " pixels needs more memory than this machine has");
  const auto megabytes = static_cast<int>(std::min<uint64_t>(need / kMegabyte + 1, INT32_MAX));
  AllocationLimit limit(std::max(megabytes, QImageReader::allocationLimit()));
  QImage image;
  if (!reader.read(&image))
    return Result<QImage>::Fail(
        path.string() + ": cannot decode the picture: " + reader.errorString().toStdString());
  // The buffer's bytes go with this function: the picture keeps a copy of its own.
  image.detach();
  return Result<QImage>::Ok(std::move(image));
}

}  // namespace mw
