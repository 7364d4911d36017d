#pragma once
// Identifiers of file versions.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace lumatix::platform {

using GuidBytes = std::array<std::uint8_t, 16>;

// A new random (version 4) UUID as sixteen bytes: a 32-bit field, two 16-bit fields
// (big-endian as printed) and eight bytes.
GuidBytes newGuid();

// "{%08lX-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}" of the fields; the empty string
// for the all-zero GUID.
std::string formatGuid(const GuidBytes& guid);

// formatGuid(newGuid()).
std::string newFileId();

// Installs a replacement GUID source for tests; an empty function restores the system one.
void setGuidSource(std::function<GuidBytes()> source);

}  // namespace lumatix::platform
