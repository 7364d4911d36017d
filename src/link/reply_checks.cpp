#include "link/reply_checks.h"

namespace instrument_link {

bool blockSizeValid(std::string_view buffer, uint32_t count, uint32_t limit) {
  return count <= limit && buffer.size() == count;
}

bool recordsFit(uint32_t recordCount, uint64_t recordBytes, uint32_t count) {
  if (recordBytes == 0) return true;  // a store with nothing per record takes no bytes
  // Divide rather than multiply so no product can wrap.
  return recordCount <= count / recordBytes;
}

bool sessionValid(std::string_view session) { return session.size() <= kMaxSessionBytes; }

bool headerGrowthValid(std::size_t headerSoFar, std::size_t blockBytes) {
  return headerSoFar <= kMaxHeaderBytes && blockBytes <= kMaxHeaderBytes - headerSoFar;
}

bool acquisitionNameSafe(std::string_view name) {
  if (name.empty() || name.size() > 255 || name == "." || name == "..") return false;
  for (unsigned char c : name) {
    if (c == '/' || c < 0x20 || c == 0x7f) return false;
  }
  return true;
}

}  // namespace instrument_link
