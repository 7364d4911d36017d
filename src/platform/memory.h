#pragma once
// Large value blocks: page-aligned, zero-filled memory that is not touched until used.

#include <cstddef>

namespace lumatix::platform {

// Returns zero-filled memory aligned to at least 64 bytes (to a page for large blocks),
// or nullptr when the system has none. Pages of large blocks are faulted in on first use,
// so allocating costs nothing until the memory is written.
void* allocateZeroed(std::size_t bytes) noexcept;

// Releases a block from allocateZeroed; bytes must be the size it was allocated with.
void releaseZeroed(void* block, std::size_t bytes) noexcept;

}  // namespace lumatix::platform
