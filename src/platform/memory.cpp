#include "platform/memory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

namespace lumatix::platform {
namespace {

// Below this, the heap is cheaper than a mapping of our own.
constexpr std::size_t kMappedFrom = 1 << 20;

}  // namespace

void* allocateZeroed(std::size_t bytes) noexcept {
  if (bytes == 0) return nullptr;
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
