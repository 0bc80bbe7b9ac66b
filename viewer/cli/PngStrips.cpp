// SPDX-License-Identifier: GPL-3.0-or-later
#include "PngStrips.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "FileBytes.h"

namespace mw {
namespace {

// The libpng handles of one file, released whatever way the write ends.
class PngWriter {
 public:
  PngWriter() {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png_) info_ = png_create_info_struct(png_);
  }
  ~PngWriter() { png_destroy_write_struct(&png_, &info_); }
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;
  bool ok() const { return png_ && info_; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

std::string Reason() { return std::strerror(errno); }

// The rows themselves, in libpng's error handling: false when libpng gave up.
bool WriteRows(PngWriter& writer, FILE* file, int width, int height, int stripRows,
               const std::function<QImage(int, int)>& strip) {
  std::vector<png_byte> row(static_cast<size_t>(width) * 3);
  if (setjmp(png_jmpbuf(writer.png()))) return false;
  png_init_io(writer.png(), file);
  png_set_IHDR(writer.png(), writer.info(), static_cast<png_uint_32>(width),
               static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Level 4 of zlib: on the bundled map and the stress map its files are 4 to 6 percent larger
  // than the default level 6 makes them, at about half the time of the render (levels 1 to 3
  // save little more time and grow the files by 11 to 37 percent; 7 to 9 take up to ten times
  // as long for 2 to 6 percent).
  png_set_compression_level(writer.png(), 4);
  png_write_info(writer.png(), writer.info());
  for (int top = 0; top < height; top += stripRows) {
    const int rows = std::min(stripRows, height - top);
    const QImage band = strip(top, rows).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rows; ++y) {
      const auto* in = reinterpret_cast<const QRgb*>(band.constScanLine(y));
      for (int x = 0; x < width; ++x) {
        row[3 * static_cast<size_t>(x)] = static_cast<png_byte>(qRed(in[x]));
        row[3 * static_cast<size_t>(x) + 1] = static_cast<png_byte>(qGreen(in[x]));
        row[3 * static_cast<size_t>(x) + 2] = static_cast<png_byte>(qBlue(in[x]));
      }
      png_write_row(writer.png(), row.data());
    }
  }
  png_write_end(writer.png(), nullptr);
  return true;
}

}  // namespace

Status WritePngInStrips(const std::filesystem::path& path, int width, int height, int stripRows,
                        const std::function<QImage(int top, int rows)>& strip) {
  auto target = AtomicFile::Create(path);
  if (!target) return Status::Fail(target.error());
  // libpng writes through a stream of its own; the temporary is committed once that is closed.
  const int fd = ::dup(target->fd());
  FILE* file = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
  if (!file) {
    if (fd >= 0) ::close(fd);
    return Status::Fail(path.string() + ": cannot be written: " + Reason());
  }
  bool written;
  {
    PngWriter writer;
    written = writer.ok() && WriteRows(writer, file, width, height, stripRows, strip);
  }
  const std::string why = Reason();
  const bool closed = std::fclose(file) == 0;
  if (!written)
    return Status::Fail(path.string() + ": the PNG picture could not be written: " + why);
  if (!closed) return Status::Fail(path.string() + ": cannot be written: " + Reason());
  return target->Commit();
}

}  // namespace mw
