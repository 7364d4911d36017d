#pragma once

// Checks of what the control panel sends before any of it is used. A reply that fails one is a
// protocol fault, which ends the link as lost.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace instrument_link {

inline constexpr uint32_t kMaxBlockBytes = 24576;
inline constexpr uint32_t kMaxNameBytes = 1024;
inline constexpr std::size_t kMaxSessionBytes = 20;
inline constexpr std::size_t kMaxHeaderBytes = 16u << 20;

// The bytes of a block: count equal to the buffer's size and at most the block limit.
bool blockSizeValid(std::string_view buffer, uint32_t count, uint32_t limit = kMaxBlockBytes);

// record_count records of recordBytes each fit in count bytes (64-bit product).
bool recordsFit(uint32_t recordCount, uint64_t recordBytes, uint32_t count);

bool sessionValid(std::string_view session);

// Adding a header block of blockBytes keeps the header within its cap.
bool headerGrowthValid(std::size_t headerSoFar, std::size_t blockBytes);

// The acquisition name as a file name inside the working directory: no separator, no "." or
// "..", no control character or NUL, at most the file-name limit of 255 bytes.
bool acquisitionNameSafe(std::string_view name);

}  // namespace instrument_link
