#include "link/server_address.h"

#include <charconv>

namespace instrument_link {
namespace {

std::optional<uint16_t> parsePort(std::string_view text) {
  unsigned value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value == 0 || value > 65535) return std::nullopt;
  return static_cast<uint16_t>(value);
}

}  // namespace

std::string ServerAddress::target() const {
  const bool v6 = host.find(':') != std::string::npos;
  return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::optional<ServerAddress> parseServerAddress(std::string_view text, uint16_t defaultPort) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  ServerAddress address{std::string(text.empty() ? kLocalAddress : text), defaultPort};
  std::string_view rest;
  if (!text.empty() && text.front() == '[') {
    const auto close = text.find(']');
    if (close == std::string_view::npos || close == 1) return std::nullopt;
    address.host = std::string(text.substr(1, close - 1));
    rest = text.substr(close + 1);
    if (!rest.empty() && rest.front() != ':') return std::nullopt;
  } else if (const auto colon = text.find(':'); colon != std::string_view::npos) {
    if (text.find(':', colon + 1) != std::string_view::npos) return address;  // a bare IPv6 host
    address.host = std::string(text.substr(0, colon));
    rest = text.substr(colon);
  }
  if (address.host.empty()) return std::nullopt;
  if (!rest.empty()) {
    const auto port = parsePort(rest.substr(1));
    if (!port) return std::nullopt;
    address.port = *port;
  }
  return address;
}

}  // namespace instrument_link
