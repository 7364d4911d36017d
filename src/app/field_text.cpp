#include "app/field_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lumatix::app {
namespace {

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(" \t");
  std::string t = text.substr(first, last - first + 1);
  // from_chars takes no leading plus.
  if (t.size() > 1 && t.front() == '+' && t[1] != '-') t.erase(0, 1);
  return t;
}

}  // namespace

std::optional<double> parseNumber(const std::string& text) {
  const std::string t = trimmed(text);
  if (t.empty()) return std::nullopt;
  double value = 0.0;
  const char* end = t.data() + t.size();
  auto [ptr, error] = std::from_chars(t.data(), end, value);
  if (error != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> parseWholeNumber(const std::string& text) {
  const std::string t = trimmed(text);
  if (t.empty()) return std::nullopt;
  int value = 0;
  const char* end = t.data() + t.size();
  auto [ptr, error] = std::from_chars(t.data(), end, value);
  if (error != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::string numberText(double value) {
  char buffer[40];
  for (int digits = 6; digits <= 17; ++digits) {
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    if (std::strtod(buffer, nullptr) == value) break;
  }
  return buffer;
}

}  // namespace lumatix::app
