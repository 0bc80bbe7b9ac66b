// SPDX-License-Identifier: GPL-3.0-or-later
#include "Picture.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <new>

#include "BmpPixels.h"
#include "BmpRows.h"
#include "FileBytes.h"
#include "LargeMemory.h"

namespace mw {
namespace {

constexpr uint64_t kMegabyte = uint64_t{1} << 20;

struct Block {
  void* memory;
  size_t bytes;
};

void FreeBlock(void* info) {
  auto* block = static_cast<Block*>(info);
  FreeLarge(block->memory, block->bytes);
  delete block;
}

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

QImage BlankPicture(int width, int height) {
  const size_t bytes = size_t{4} * static_cast<size_t>(width) * static_cast<size_t>(height);
  auto* block = new Block{AllocateLarge(bytes), bytes};
  return QImage(static_cast<uchar*>(block->memory), width, height, qsizetype{4} * width,
                QImage::Format_RGB32, FreeBlock, block);
}

// What the program may still take: the machine's memory, or less where the process is limited.
uint64_t MemoryBudget() {
  rlimit limit{};
  uint64_t budget = PhysicalMemory();
  if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
    budget = std::min<uint64_t>(budget, limit.rlim_cur);
  return budget;
}

Result<QImage> LoadPicture(const std::filesystem::path& path) {
  using Picture = Result<QImage>;
  auto file = InputFile::Open(path);
  if (!file) return Picture::Fail(file.error());
  // The header first, from the start of the file: a picture too large for this program is
  // refused before its bytes are read.
  constexpr size_t kHeaderBytes = 64 * 1024;
  std::vector<uint8_t> bytes;
  if (auto read = file->ReadMore(bytes, kHeaderBytes); !read) return Picture::Fail(read.error());
  // A bitmap's own header says its size, also one the decoder would not take; other pictures
  // are asked of the decoder.
  QSize size;
  if (auto info = ParseBmpInfo(bytes, path.string())) {
    size = QSize(info->width, info->height);
  } else {
    QBuffer header;
    header.setData(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<qsizetype>(bytes.size()));
    header.open(QIODevice::ReadOnly);
    size = QImageReader(&header).size();
    if (!size.isValid()) return Picture::Fail(path.string() + ": not a readable picture");
  }
  if (Status fits =
          PictureFits(size.width(), size.height(), file->size(), MemoryBudget(), path.string());
      !fits)
    return Picture::Fail(fits.error());
  const uint64_t need =
      4 * static_cast<uint64_t>(size.width()) * static_cast<uint64_t>(size.height());
  try {
    // The bitmaps of the usual kinds are decoded here, straight into the picture's memory;
    // others by the decoder of the toolkit.
    if (const auto layout = BmpLayoutOf(bytes)) {
      QImage image = BlankPicture(layout->width, layout->height);
      if (image.isNull()) throw std::bad_alloc();
      auto* pixels = reinterpret_cast<uint32_t*>(image.bits());
      if (Status decoded = DecodeBmpPixels(*file, *layout, pixels,
                                           static_cast<size_t>(layout->width), path.string());
          !decoded)
        return Picture::Fail(decoded.error());
      return Picture::Ok(std::move(image));
    }
    if (auto read = file->ReadMore(bytes, file->size()); !read) return Picture::Fail(read.error());
    QBuffer buffer;
    buffer.setData(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                           static_cast<qsizetype>(bytes.size())));
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const auto megabytes = static_cast<int>(std::min<uint64_t>(need / kMegabyte + 1, INT32_MAX));
    AllocationLimit limit(std::max(megabytes, QImageReader::allocationLimit()));
    QImage image;
    if (!reader.read(&image))
      return Picture::Fail(path.string() +
                           ": cannot decode the picture: " + reader.errorString().toStdString());
    // The file's bytes go with this function: the picture keeps a copy of its own.
    image.detach();
    return Picture::Ok(std::move(image));
  } catch (const std::bad_alloc&) {
    return Picture::Fail(path.string() + ": not enough memory to load the picture");
  }
}

}  // namespace mw
