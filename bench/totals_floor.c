/* SPDX-License-Identifier: GPL-3.0-or-later */
/* The least work a totals report of a position must do, as a program of its own: map the sector
 * grid and the position file, give each stack the sector under its point, and sum its pieces by
 * country. Usage: totals_floor SektorInfo.map POSITION.QPX */
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>

static const uint8_t* MapFile(const char* path, size_t* size) {
  struct stat st;
  const int fd = open(path, O_RDONLY);
  if (fd < 0 || fstat(fd, &st) != 0) return NULL;
  *size = (size_t)st.st_size;
  const void* bytes = mmap(NULL, *size, PROT_READ, MAP_PRIVATE, fd, 0);
  return bytes == MAP_FAILED ? NULL : bytes;
}

int main(int argc, char** argv) {
  size_t gridSize = 0, positionSize = 0;
  const uint8_t* grid = argc == 3 ? MapFile(argv[1], &gridSize) : NULL;
  const uint8_t* position = argc == 3 ? MapFile(argv[2], &positionSize) : NULL;
  if (!grid || !position || gridSize < 8 || positionSize < 15) return 1;
  int32_t width, height;
  uint32_t count;
  memcpy(&width, grid, 4);
  memcpy(&height, grid + 4, 4);
  memcpy(&count, position + 7, 4);
  uint64_t pieces[256][2] = {{0}};
  for (uint32_t i = 0; i < count && 15 + 24 * (size_t)(i + 1) <= positionSize; ++i) {
    const uint8_t* r = position + 15 + 24 * (size_t)i;
    double x, y;
    uint16_t n, sector = 0;
    memcpy(&x, r, 8);
    memcpy(&y, r + 8, 8);
    memcpy(&n, r + 18, 2);
    if (x >= 0 && y >= 0 && x < width && y < height)
      memcpy(&sector, grid + 8 + 2 * ((size_t)y * (size_t)width + (size_t)x), 2);
    pieces[r[17]][sector != 0 && sector < 512] += n;
  }
  uint64_t sum = 0;
  for (int c = 0; c < 256; ++c) sum += pieces[c][1];
  printf("%llu pieces in sectors\n", (unsigned long long)sum);
  return 0;
}
