// A resizable byte block that reports allocation failure instead of throwing.
//
// Every buffer that holds sound (the document, the undo copy, clipboard and
// scratch blocks) is one of these. Large blocks live in anonymous mappings
// that ask the kernel for huge pages and grow with mremap, so a long sound
// neither faults in page by page nor gets copied when it grows; a block keeps
// its capacity when it shrinks, so reused blocks cost nothing the second time,
// but a mapped one gives the memory of its freed pages back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

namespace kelvora {

class MemoryBlock {
public:
  MemoryBlock() = default;
  ~MemoryBlock();
  MemoryBlock(const MemoryBlock&) = delete;
  MemoryBlock& operator=(const MemoryBlock&) = delete;
  MemoryBlock(MemoryBlock&& other) noexcept { Swap(other); }
  MemoryBlock& operator=(MemoryBlock&& other) noexcept {
    MemoryBlock tmp(std::move(other));
    Swap(tmp);
    return *this;
  }

  // Makes the block exactly `size` bytes, keeping min(old, new) bytes of its
  // contents. Returns 1, or 0 with the block unchanged when memory runs out
  // (or the test cap forbids it). Bytes beyond the old size are unspecified.
  int Resize(size_t size);
  // Resize and zero every byte.
  int AllocateZeroed(size_t size);
  void Free();

  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  void Swap(MemoryBlock& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    std::swap(mapped_, other.mapped_);
  }

  // Tests set a ceiling on the size of any single block so that every
  // out-of-memory path can be driven for real; 0 removes it.
  static void SetTestCap(size_t max_block_bytes);
  static size_t TestCap();

private:
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
  bool mapped_ = false;
};

}  // namespace kelvora
