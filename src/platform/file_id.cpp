#include "platform/file_id.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <utility>

namespace lumatix::platform {
namespace {

std::function<GuidBytes()>& installedSource() {
  static std::function<GuidBytes()> source;
  return source;
}

GuidBytes randomGuid() {
  GuidBytes bytes{};
  std::ifstream urandom("/dev/urandom", std::ios::binary);
  if (!urandom.read(reinterpret_cast<char*>(bytes.data()), bytes.size())) {
    std::random_device device;
    for (auto& b : bytes) b = static_cast<std::uint8_t>(device());
  }
  bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
  return bytes;
}

}  // namespace

GuidBytes newGuid() {
  if (const auto& source = installedSource()) return source();
  return randomGuid();
}

std::string formatGuid(const GuidBytes& g) {
  bool zero = true;
  for (auto b : g) zero = zero && b == 0;
  if (zero) return {};
  unsigned long data1 = (static_cast<unsigned long>(g[0]) << 24) | (static_cast<unsigned long>(g[1]) << 16) |
                        (static_cast<unsigned long>(g[2]) << 8) | g[3];
  unsigned data2 = (static_cast<unsigned>(g[4]) << 8) | g[5];
  unsigned data3 = (static_cast<unsigned>(g[6]) << 8) | g[7];
  char text[64];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}", data1, data2, data3,
                g[8], g[9], g[10], g[11], g[12], g[13], g[14], g[15]);
  return text;
}

std::string newFileId() { return formatGuid(newGuid()); }

void setGuidSource(std::function<GuidBytes()> source) { installedSource() = std::move(source); }

}  // namespace lumatix::platform
