#pragma once
// What the export tests share: small stores, a reporter that records, and text helpers.

#include <string>
#include <vector>

#include "datastore/text_test_support.h"
#include "export/reporter.h"

namespace lumatix::testing {

class RecordingReporter : public exports::Reporter {
 public:
  void error(const std::string& text) override { errors.push_back(text); }
  void warning(const std::string& text) override { warnings.push_back(text); }
  void information(const std::string& text) override { advice.push_back(text); }
  std::vector<std::string> errors, warnings, advice;
};

inline std::vector<float> ramp(float first, float step, int n) {
  std::vector<float> v;
  for (int i = 0; i < n; ++i) v.push_back(first + step * static_cast<float>(i));
  return v;
}

inline int occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The text from the first `from` (excluded) up to the next `to` (excluded).
inline std::string between(const std::string& text, const std::string& from, const std::string& to) {
  const auto a = text.find(from);
  if (a == std::string::npos) return "<no " + from + ">";
  const auto b = text.find(to, a + from.size());
  return text.substr(a + from.size(), b == std::string::npos ? std::string::npos : b - a - from.size());
}

}  // namespace lumatix::testing
