#pragma once
// Pieces every history text of the trace operations is made of.

#include <sstream>
#include <string>

namespace lumatix::processing {

// Written between a caption and a trace name: a backslash and two full stops.
inline constexpr const char* kHistorySeparator = "\\..";
inline constexpr const char* kCrLf = "\r\n";

// A float as the standard stream writes it (6 significant digits, no trailing zeros).
inline std::string streamNumber(float value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

inline std::string streamNumber(double value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

}  // namespace lumatix::processing
