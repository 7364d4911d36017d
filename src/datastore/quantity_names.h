#pragma once
// The program's names for the quantities other programs' files name by a unit word
// ("NANOMETERS", "1/CM", "ABSORBANCE") or by a column heading ("Wavelength (nm)",
// "CD [mdeg]", "HT [V]"), and the factor that brings values to the program's unit
// (micrometres to nanometres, milliseconds to seconds).

#include <string>
#include <string_view>

namespace lumatix::datastore {

struct Quantity {
  std::string name;    // a dimension or property name ("Wavelength", "CircularDichroism")
  double scale = 1.0;  // multiplies the file's values
  bool known = false;  // false: name is the text as the file gives it
};

// For a unit word or a heading; an empty or unknown text keeps its own text as the name.
// Single letters ("A", "C", "s") are too often a column's plain name to stand for a quantity.
Quantity quantityOf(std::string_view text);

}  // namespace lumatix::datastore
