// SPDX-License-Identifier: GPL-3.0-or-later
#include "MapPicture.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "BmpPixels.h"
#include "BmpRows.h"
#include "FileBytes.h"
#include "LargeMemory.h"
#include "Picture.h"

namespace mw {

// The tiles of a picture, each in a slot of one block of memory, given in the order they are
// first decoded: the tiles on show lie together, so that the memory a first paint touches is no
// more than what it shows.
struct MapPicture::Tiles {
  Tiles(InputFile f, const BmpLayout& l)
      : file(std::move(f)),
        layout(l),
        across((l.width + kTile - 1) / kTile),
        down((l.height + kTile - 1) / kTile),
        tileAt(static_cast<size_t>(across) * static_cast<size_t>(down), nullptr),
        bytes(tileAt.size() * kSlotBytes),
        memory(static_cast<QRgb*>(AllocateLarge(bytes))) {}
  ~Tiles() { FreeLarge(memory, bytes); }
  Tiles(const Tiles&) = delete;
  Tiles& operator=(const Tiles&) = delete;

  static constexpr size_t kSlotPixels = size_t{kTile} * kTile;
  static constexpr size_t kSlotBytes = 4 * kSlotPixels;

  QRgb* Tile(int tx, int ty) const {
    return tileAt[static_cast<size_t>(ty) * static_cast<size_t>(across) + static_cast<size_t>(tx)];
  }
  void Ready(QRect area);
  void Decode(int ty, int firstTx, int lastTx);

  std::mutex lock;
  InputFile file;
  const BmpLayout layout;
  const int across, down;
  std::vector<QRgb*> tileAt;  // null until decoded
  size_t used = 0;
  const size_t bytes;
  QRgb* const memory;
  std::vector<uint8_t> stored;  // the bytes of one stored row, part of it
};

void MapPicture::Tiles::Ready(QRect area) {
  const std::lock_guard hold(lock);
  for (int ty = area.top() / kTile; ty <= area.bottom() / kTile; ++ty)
    for (int tx = area.left() / kTile; tx <= area.right() / kTile;) {
      if (Tile(tx, ty)) {
        ++tx;
        continue;
      }
      // A run of tiles not yet decoded, read together row by row.
      int last = tx;
      while (last + 1 <= area.right() / kTile && !Tile(last + 1, ty)) ++last;
      Decode(ty, tx, last);
      tx = last + 1;
    }
}

void MapPicture::Tiles::Decode(int ty, int firstTx, int lastTx) {
  for (int tx = firstTx; tx <= lastTx; ++tx)
    tileAt[static_cast<size_t>(ty) * static_cast<size_t>(across) + static_cast<size_t>(tx)] =
        memory + kSlotPixels * used++;
  const BmpLayout& l = layout;
  const int left = firstTx * kTile, right = std::min(l.width, (lastTx + 1) * kTile);
  const size_t step = static_cast<size_t>(l.bits) / 8;
  stored.resize(static_cast<size_t>(right - left) * step);
  const int top = ty * kTile, bottom = std::min(l.height, top + kTile);
  for (int y = top; y < bottom; ++y) {
    const int64_t row = l.bottomUp ? l.height - 1 - y : y;
    const uint64_t offset = l.pixelOffset + static_cast<uint64_t>(row) * l.rowLength +
                            static_cast<uint64_t>(left) * step;
    // The load made sure the file holds every row. Should it have been cut short in place
    // since, what it no longer holds is shown in the palette's first colour, or black.
    auto read = file.ReadAt(offset, stored.data(), stored.size());
    const size_t got = read ? *read : 0;
    std::fill(stored.begin() + static_cast<std::ptrdiff_t>(got), stored.end(), uint8_t{0});
    const uint8_t* in = stored.data();
    for (int tx = firstTx; tx <= lastTx; ++tx) {
      QRgb* out = Tile(tx, ty) + static_cast<size_t>(y - top) * kTile;
      const int width = std::min(kTile, l.width - tx * kTile);
      if (l.bits == 8) {
        for (int x = 0; x < width; ++x) out[x] = l.palette[in[x]];
      } else {
        for (int x = 0; x < width; ++x, in += step)
          out[x] = 0xff000000u | uint32_t{in[2]} << 16 | uint32_t{in[1]} << 8 | in[0];
        continue;
      }
      in += width;
    }
  }
}

MapPicture::MapPicture(QImage whole)
    : size_(whole.size()),
      whole_(whole.format() == QImage::Format_RGB32 ? std::move(whole)
                                                    : whole.convertToFormat(QImage::Format_RGB32)) {
}

Result<MapPicture> MapPicture::Load(const std::filesystem::path& path) {
  using Loaded = Result<MapPicture>;
  auto file = InputFile::Open(path);
  if (!file) return Loaded::Fail(file.error());
  std::vector<uint8_t> head;
  if (auto read = file->ReadMore(head, 64 * 1024); !read) return Loaded::Fail(read.error());
  const auto layout = BmpLayoutOf(head);
  if (!layout || layout->rle8) {
    auto whole = LoadPicture(path);
    if (!whole) return Loaded::Fail(whole.error());
    return Loaded::Ok(MapPicture(std::move(*whole)));
  }
  if (Status fits =
          PictureFits(layout->width, layout->height, file->size(), MemoryBudget(), path.string());
      !fits)
    return Loaded::Fail(fits.error());
  // Every row must be there now: a picture is refused at its load, never shown in part.
  const uint64_t need =
      layout->pixelOffset + layout->rowLength * static_cast<uint64_t>(layout->height);
  if (file->size() < need) {
    const uint64_t rows = file->size() > layout->pixelOffset
                              ? (file->size() - layout->pixelOffset) / layout->rowLength
                              : 0;
    return Loaded::Fail(path.string() + ": truncated: the file ends in row " +
                        std::to_string(rows) + " of " + std::to_string(layout->height) +
                        " of its pixels");
  }
  try {
    MapPicture picture;
    picture.size_ = QSize(layout->width, layout->height);
    picture.tiles_ = std::make_shared<Tiles>(std::move(*file), *layout);
    return Loaded::Ok(std::move(picture));
  } catch (const std::bad_alloc&) {
    return Loaded::Fail(path.string() + ": not enough memory to load the picture");
  }
}

void MapPicture::Ready(QRect area) const {
  area = area.intersected(QRect(QPoint(), size_));
  if (tiles_ && !area.isEmpty()) tiles_->Ready(area);
}

const QRgb* MapPicture::Row(int y, int left, int right, QRgb* scratch) const {
  if (!tiles_) return reinterpret_cast<const QRgb*>(whole_.constScanLine(y)) + left;
  const int ty = y / kTile;
  const size_t within = static_cast<size_t>(y % kTile) * kTile;
  if (left / kTile == right / kTile)
    return tiles_->Tile(left / kTile, ty) + within + static_cast<size_t>(left % kTile);
  QRgb* to = scratch;
  for (int x = left; x <= right;) {
    const int tx = x / kTile, end = std::min(right + 1, (tx + 1) * kTile);
    std::memcpy(to, tiles_->Tile(tx, ty) + within + static_cast<size_t>(x % kTile),
                4 * static_cast<size_t>(end - x));
    to += end - x;
    x = end;
  }
  return scratch;
}

QImage MapPicture::Whole() const {
  if (!tiles_) return whole_;
  QImage whole = BlankPicture(size_.width(), size_.height());
  Ready(QRect(QPoint(), size_));
  for (int y = 0; y < size_.height(); ++y) {
    auto* to = reinterpret_cast<QRgb*>(whole.scanLine(y));
    if (const QRgb* row = Row(y, 0, size_.width() - 1, to); row != to)
      std::memcpy(to, row, 4 * static_cast<size_t>(size_.width()));
  }
  return whole;
}

}  // namespace mw
