// SPDX-License-Identifier: GPL-3.0-or-later
#include "LargeMemory.h"

#include <malloc.h>
#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace mw {

namespace {

#if defined(__SANITIZE_ADDRESS__)
#define MW_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MW_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef MW_ADDRESS_SANITIZER
// The sanitizer watches the bounds of heap blocks only: every block comes from the heap there.
constexpr size_t kMapped = SIZE_MAX;
#else
constexpr size_t kMapped = size_t{1} << 20;
#endif

}  // namespace

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

size_t Rounded(size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }

// A few blocks freed last, kept mapped for the next buffer of the same size: a program that
// loads one position after another, or composes band after band, reuses memory it has touched.
struct Kept {
  void* memory = nullptr;
  size_t bytes = 0;
};
constexpr size_t kKeptBlocks = 4;
constexpr size_t kKeptMost = size_t{64} << 20;
std::mutex keptLock;
std::array<Kept, kKeptBlocks> kept;

}  // namespace

void* AllocateLarge(size_t bytes) {
  if (bytes < kMapped) {
    if (void* memory = std::malloc(bytes == 0 ? 1 : bytes)) return memory;
    throw std::bad_alloc();
  }
  const size_t size = Rounded(bytes);
  {
    const std::lock_guard lock(keptLock);
    for (Kept& k : kept)
      if (k.memory && k.bytes == size) return std::exchange(k.memory, nullptr);
  }
  // Mapped on a boundary of a huge page, so that the kernel can back it with huge pages.
  const size_t reach = size + kHugePage;
  void* mapped = ::mmap(nullptr, reach, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<uintptr_t>(mapped);
  const uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) ::munmap(mapped, aligned - start);
  if (const uintptr_t end = aligned + size; end < start + reach)
    ::munmap(reinterpret_cast<void*>(end), start + reach - end);
  void* memory = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
  // Only a wish: where huge pages are off, the memory is backed page by page as usual.
  ::madvise(memory, size, MADV_HUGEPAGE);
#endif
  return memory;
}

void FreeLarge(void* memory, size_t bytes) {
  if (!memory) return;
  if (bytes < kMapped) {
    std::free(memory);
    return;
  }
  const size_t size = Rounded(bytes);
  if (size <= kKeptMost) {
    const std::lock_guard lock(keptLock);
    for (Kept& k : kept)
      if (!k.memory) {
        k = {memory, size};
        return;
      }
    // The oldest goes: blocks are kept in the order they were freed.
    ::munmap(kept[0].memory, kept[0].bytes);
    std::rotate(kept.begin(), kept.begin() + 1, kept.end());
    kept.back() = {memory, size};
    return;
  }
  ::munmap(memory, size);
}

void KeepFreedHeapMemory() {
#if defined(__GLIBC__) && !defined(MW_ADDRESS_SANITIZER)
  static std::once_flag once;
  std::call_once(once, [] {
    // A fixed threshold also stops the heap from moving it as blocks come and go.
    ::mallopt(M_MMAP_THRESHOLD, static_cast<int>(kMapped));
    ::mallopt(M_TRIM_THRESHOLD, 64 << 20);
  });
#endif
}

}  // namespace mw
