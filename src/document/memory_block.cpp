#include "document/memory_block.h"

#include <cstdlib>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#define KELVORA_HAVE_MMAP 1
#endif

namespace kelvora {
namespace {

size_t g_test_cap = 0;

// Below this size the C heap is cheaper than a mapping of its own.
constexpr size_t kMapThreshold = size_t{1} << 20;
constexpr size_t kHugePage = size_t{2} << 20;

size_t RoundUp(size_t n, size_t to) { return (n + to - 1) / to * to; }

#if KELVORA_HAVE_MMAP
// Huge pages except in a mapping's last 2 MB, which holds the end of the
// data: a touched huge page is resident whole, and there it would hold up to
// 2 MB of nothing.
void AdviseHugePages(uint8_t* p, size_t mapped) {
  if (mapped > kHugePage) madvise(p, mapped - kHugePage, MADV_HUGEPAGE);
  madvise(p + mapped - kHugePage, kHugePage, MADV_NOHUGEPAGE);
}

// The two kinds of advice split the mapping in two, which mremap cannot grow
// as one: the huge part grows (moving, as the tail is in its way) and takes
// the tail's bytes over.
uint8_t* GrowMapping(uint8_t* old, size_t mapped, size_t want) {
  const size_t head = mapped > kHugePage ? mapped - kHugePage : mapped;
  void* p = mremap(old, head, want, MREMAP_MAYMOVE);
  if (p == MAP_FAILED) return nullptr;
  auto* q = static_cast<uint8_t*>(p);
  if (head != mapped) {
    std::memcpy(q + head, old + head, kHugePage);
    munmap(old + head, kHugePage);
  }
  AdviseHugePages(q, want);
  return q;
}

uint8_t* MapBytes(size_t bytes) {
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  AdviseHugePages(static_cast<uint8_t*>(p), bytes);
  return static_cast<uint8_t*>(p);
}
#endif

}  // namespace

void MemoryBlock::SetTestCap(size_t max_block_bytes) { g_test_cap = max_block_bytes; }
size_t MemoryBlock::TestCap() { return g_test_cap; }

MemoryBlock::~MemoryBlock() { Free(); }

void MemoryBlock::Free() {
  if (data_ != nullptr) {
#if KELVORA_HAVE_MMAP
    if (mapped_)
      munmap(data_, capacity_);
    else
#endif
      std::free(data_);
  }
  data_ = nullptr;
  size_ = capacity_ = 0;
  mapped_ = false;
}

int MemoryBlock::Resize(size_t size) {
  if (g_test_cap != 0 && size > g_test_cap) return 0;
  // Keep capacity on moderate shrinks: blocks are resized up and down by a
  // few spare bytes all the time, and a second pass should not fault again.
  if (size <= capacity_ && (size >= capacity_ / 4 || capacity_ <= kMapThreshold)) {
#if KELVORA_HAVE_MMAP
    // The whole huge pages past the new end go back to the system; the
    // addresses stay, so growing again faults them in without a move.
    const size_t keep = RoundUp(size, kHugePage), used = RoundUp(size_, kHugePage);
    if (mapped_ && keep < used) madvise(data_ + keep, used - keep, MADV_DONTNEED);
#endif
    size_ = size;
    return 1;
  }
  if (size == 0) {
    Free();
    return 1;
  }
#if KELVORA_HAVE_MMAP
  if (size > kMapThreshold) {
    size_t want = RoundUp(size, kHugePage);
    if (mapped_) {
      uint8_t* p;
      if (want > capacity_) {
        p = GrowMapping(data_, capacity_, want);
        if (p == nullptr) return 0;
      } else {  // a shrink only unmaps, whatever the advice
        void* q = mremap(data_, capacity_, want, MREMAP_MAYMOVE);
        if (q == MAP_FAILED) return 0;
        p = static_cast<uint8_t*>(q);
        AdviseHugePages(p, want);
      }
      data_ = p;
    } else {
      uint8_t* p = MapBytes(want);
      if (p == nullptr) return 0;
      if (data_ != nullptr) {
        std::memcpy(p, data_, size_ < size ? size_ : size);
        std::free(data_);
      }
      data_ = p;
      mapped_ = true;
    }
    capacity_ = want;
    size_ = size;
    return 1;
  }
  if (mapped_) {  // shrinking from a mapping back to the heap
    auto* p = static_cast<uint8_t*>(std::malloc(size));
    if (p == nullptr) return 0;
    std::memcpy(p, data_, size);
    munmap(data_, capacity_);
    data_ = p;
    capacity_ = size_ = size;
    mapped_ = false;
    return 1;
  }
#endif
  auto* p = static_cast<uint8_t*>(std::realloc(data_, size));
  if (p == nullptr) return 0;
  data_ = p;
  capacity_ = size_ = size;
  return 1;
}

int MemoryBlock::AllocateZeroed(size_t size) {
  if (!Resize(size)) return 0;
  if (size != 0) std::memset(data_, 0, size);
  return 1;
}

}  // namespace kelvora
