// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace mw {

// Memory for the big buffers of the suite: pictures, sector grids, the bytes of big files, the
// units and the index of a big list.
//
// Memory a process has not touched before costs a trap into the kernel for every 4 KiB page the
// first time it is written, and the kernel zeroes each page. On a virtual machine that trap is
// dear (about 12 us a page was measured on the build machine, 50 to 70 times a second pass over
// the same memory), so a picture of 10,000 x 8,000 pixels paid seconds for faults alone. A block
// of 1 MiB or more is therefore mapped on its own and the kernel is asked to back it with huge
// pages, where it can: one fault for every 2 MiB. Smaller blocks come from the heap.
void* AllocateLarge(size_t bytes);
void FreeLarge(void* memory, size_t bytes);

// Has the heap keep up to 64 MiB of freed memory for the next blocks instead of handing it back
// to the kernel, and take every block under 1 MiB from itself. A viewer frees and makes the same
// blocks all the time (the map's tiles at every zoom step, 256 KiB each): handed back, each would
// be fresh memory again and pay its faults anew. Called once by whatever keeps a view; later
// calls do nothing.
void KeepFreedHeapMemory();

// An allocator for std::vector on that memory. An element made without a value is left as the
// memory holds it (default-initialised), so that a buffer about to be written over (by a read, a
// decoder) is not zeroed first; such a vector must be written before it is read.
template <class T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <class U>
  explicit LargeAllocator(const LargeAllocator<U>&) {}

  T* allocate(size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(AllocateLarge(n * sizeof(T)));
  }
  void deallocate(T* p, size_t n) { FreeLarge(p, n * sizeof(T)); }

  template <class U>
  void construct(U* p) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <class U>
  struct rebind {
    using other = LargeAllocator<U>;
  };
  bool operator==(const LargeAllocator&) const = default;
};

template <class T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

}  // namespace mw
