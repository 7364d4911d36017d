#pragma once
// Axis labels derived from dimension names, and the names of the trace kinds.

#include <string>

namespace lumatix::processing {

// The x-axis label of a dimension name: the first key (in table order) that occurs anywhere
// in the name gives the label, with the "Arb ( ... )" forms for names holding "-arb"; a name
// holding no key is its own label.
std::string xAxisLabel(const std::string& dimensionName);

// The trace-axis label of a dimension name, by the same first-key rule; "default" when no
// key occurs.
std::string traceAxisLabel(const std::string& dimensionName);

// The trace kinds: 0 a trace read from a file, 1..11 the results of operations.
inline constexpr int kTraceKindCount = 12;
// "", "Added", "Subtracted", ...; throws std::out_of_range outside 0..11.
const char* traceKindName(int kind);

// The name an operation gives its new trace: kind name, "::", the number with "%g"
// ("Subtracted::0"). Throws std::out_of_range for a kind outside 0..11.
std::string derivedTraceName(int kind, int number);

// A coordinate printed with "%f", then trailing zeros and a trailing point removed
// (250.000000 gives "250", 0.500000 gives "0.5").
std::string coordinateName(double value);

// A number printed with "%g".
std::string gNumber(double value);

}  // namespace lumatix::processing
