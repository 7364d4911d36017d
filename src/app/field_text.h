#pragma once
// Numbers typed into the dialogs' fields: read whole and strictly (no trailing letters, no
// "nan" or "inf", no silent clamping), and shown so that they read back the same.

#include <optional>
#include <string>

namespace lumatix::app {

// A finite number spelled out by the whole text, blanks around it allowed ("1e-3", " -2.5 ",
// "+4"); nullopt for anything else, an empty text included.
std::optional<double> parseNumber(const std::string& text);
// A whole number in the same way ("12", but not "12.5" or "1e3"); nullopt outside the int range.
std::optional<int> parseWholeNumber(const std::string& text);
// %g with as few digits (at least 6) as read back the same double.
std::string numberText(double value);

}  // namespace lumatix::app
