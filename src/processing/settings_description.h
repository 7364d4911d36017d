#pragma once
// One line of readable English for how a dimension or a property was acquired, built from
// the option flags recorded in its name ("Time -log -trigger -ptd", "Count -current 8 ...").
// Flags are found by case-sensitive substring search; a flag's number is read right after
// the flag text. Numbers are written in the default stream form (6 significant digits).

#include <string>

namespace lumatix::datastore {
class Dimension;
}

namespace lumatix::processing {

// The characters of text up to the first blank or the end.
std::string FirstWord(const std::string& text);

// Describes a Time, Wavelength, Cell, Repeat or Temperature dimension (chosen by the first
// word of its name); any other dimension is described by that first word alone.
std::string DescribeDimension(const datastore::Dimension& dimension);

// Describes the detector settings of a property; an unknown property is described by its
// first word.
std::string DescribeProperty(const std::string& property);

}  // namespace lumatix::processing
