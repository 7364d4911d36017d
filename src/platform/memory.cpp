#include "platform/memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace lumatix::platform {
namespace {

// Below this, the heap is cheaper than a mapping of our own.
constexpr std::size_t kMappedFrom = 1 << 20;
// Blocks this large are placed on huge-page boundaries: filling them then takes one page
// fault per 2 MiB instead of one per 4 KiB.
constexpr std::size_t kHugePage = 2 << 20;
constexpr std::size_t kHugeFrom = 4 * kHugePage;

void* mapHuge(std::size_t bytes) noexcept {
  std::size_t span = bytes + kHugePage;
  void* raw = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  auto start = reinterpret_cast<std::uintptr_t>(raw);
  auto aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  std::size_t head = aligned - start;
  std::size_t used = (bytes + 4095) & ~std::size_t{4095};
  if (head) ::munmap(raw, head);
  if (span - head > used) ::munmap(reinterpret_cast<void*>(aligned + used), span - head - used);
#ifdef MADV_HUGEPAGE
  ::madvise(reinterpret_cast<void*>(aligned), used, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<void*>(aligned);
}

}  // namespace

void* allocateZeroed(std::size_t bytes) noexcept {
  if (bytes == 0) return nullptr;
  if (bytes >= kHugeFrom) return mapHuge(bytes);
  if (bytes >= kMappedFrom) {
    void* block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
  }
  std::size_t rounded = (bytes + 63) / 64 * 64;
  void* block = std::aligned_alloc(64, rounded);
  if (block) std::memset(block, 0, rounded);
  return block;
}

void releaseZeroed(void* block, std::size_t bytes) noexcept {
  if (!block) return;
  if (bytes >= kMappedFrom) {
    ::munmap(block, bytes);
  } else {
    std::free(block);
  }
}

}  // namespace lumatix::platform
