#pragma once

// The server address text of the link: a host with an optional ":port".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace instrument_link {

inline constexpr uint16_t kDefaultControlPanelPort = 50491;
inline constexpr std::string_view kLocalAddress = "127.0.0.1";

struct ServerAddress {
  std::string host;  // IPv6 hosts without their brackets
  uint16_t port = kDefaultControlPanelPort;
  std::string target() const;  // "host:port", "[v6]:port"
};

// Empty text is the local address; a port outside 1..65535 or a malformed text gives nothing.
std::optional<ServerAddress> parseServerAddress(std::string_view text,
                                                uint16_t defaultPort = kDefaultControlPanelPort);

}  // namespace instrument_link
