#include "datastore/text_number.h"

#include <system_error>

namespace lumatix::datastore::text {
namespace {

// std::to_chars with a precision follows printf's "%.*g" exactly, which is what a stream
// with the default flags writes.
template <class T>
char* format(char* first, T value) {
  auto result = std::to_chars(first, first + kMaxNumberChars, value, std::chars_format::general, 6);
  return result.ptr;
}

// from_chars takes neither a leading '+' nor leading blanks; streams take the '+'.
template <class T>
std::size_t parse(std::string_view text, T& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  const char* start = first;
  if (first != last && *first == '+') {
    ++first;
    if (first != last && *first == '-') return 0;
  }
  T parsed{};
  auto result = std::from_chars(first, last, parsed, std::chars_format::general);
  if (result.ec != std::errc()) return 0;
  value = parsed;
  return static_cast<std::size_t>(result.ptr - start);
}

}  // namespace

char* formatFloat(char* first, float value) { return format(first, value); }
char* formatDouble(char* first, double value) { return format(first, value); }

std::string floatText(float value) {
  char buffer[kMaxNumberChars];
  return {buffer, formatFloat(buffer, value)};
}

std::string doubleText(double value) {
  char buffer[kMaxNumberChars];
  return {buffer, formatDouble(buffer, value)};
}

void appendFloat(std::string& out, float value) {
  char buffer[kMaxNumberChars];
  out.append(buffer, formatFloat(buffer, value));
}

std::size_t parseFloat(std::string_view text, float& value) { return parse(text, value); }
std::size_t parseDouble(std::string_view text, double& value) { return parse(text, value); }

std::size_t parseInt(std::string_view text, std::int64_t& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  const char* start = first;
  if (first != last && *first == '+') {
    ++first;
    if (first != last && *first == '-') return 0;
  }
  std::int64_t parsed = 0;
  auto result = std::from_chars(first, last, parsed, 10);
  if (result.ec != std::errc()) return 0;
  value = parsed;
  return static_cast<std::size_t>(result.ptr - start);
}

}  // namespace lumatix::datastore::text
