#include "app/fit_texts.h"

#include <array>
#include <charconv>
#include <cmath>

#include "fitting/fit_funx.h"

namespace lumatix::app {
namespace {

// std::to_chars with a precision writes what printf writes in the "C" locale, except that
// printf spells a negative NaN "-nan" and to_chars may too: both are kept as they come.
std::string toChars(double value, std::chars_format format, int precision) {
  std::array<char, 400> buffer{};  // "%f" of the largest double needs 317 characters
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, precision);
  return {buffer.data(), result.ptr};
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string trimmed(const std::string& text) {
  std::size_t first = 0, last = text.size();
  while (first < last && isBlank(text[first])) ++first;
  while (last > first && isBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

const fitting::FitFunction* functionOf(const FitResults& results) {
  const auto& table = fitting::FitFunx();
  if (results.functionIndex < 0 || static_cast<std::size_t>(results.functionIndex) >= table.size()) return nullptr;
  return &table[static_cast<std::size_t>(results.functionIndex)];
}

double at(const std::vector<double>& values, std::size_t j) { return j < values.size() ? values[j] : 0.0; }

// "name = value +/- error" of parameter j.
std::string parameterLine(const FitResults& results, const fitting::FitFunction& function, std::size_t j) {
  return function.parameterNames[j] + " = " + fixedText(at(results.values, j)) + " +/- " +
         fixedText(at(results.errors, j));
}

}  // namespace

std::string fixedText(double value) { return toChars(value, std::chars_format::fixed, 6); }

std::string generalText(double value, int digits) { return toChars(value, std::chars_format::general, digits); }

double atofText(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // A second sign is not a number for atof either.
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) return 0.0;
  double value = 0.0;
  const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // atof gives the overflowed (huge) or underflowed (0) value rather than nothing.
    const std::string number(text.data() + i, result.ptr);
    const auto e = number.find_first_of("eE");
    value = e != std::string::npos && e + 1 < number.size() && number[e + 1] == '-' ? 0.0 : HUGE_VAL;
  } else if (result.ec != std::errc()) {
    return 0.0;
  }
  return negative ? -value : value;
}

std::string fittingHistoryText(const FitResults& results, const std::string& originalName,
                               const std::string& fittedName, const std::optional<std::string>& residualName) {
  const fitting::FitFunction* function = functionOf(results);
  std::string text = "Original line : " + originalName + "\r\n";
  if (function) {
    text += function->equation + function->name + "\r\n";
    for (std::size_t j = 0; j < function->parameterNames.size(); ++j) text += parameterLine(results, *function, j) + "\r\n";
  }
  text += "Fit range from: " + fixedText(results.from) + " to " + fixedText(results.to) + "\r\n";
  text += "Normalised variance = " + generalText(results.normalisedVariance) + "\r\n";
  text += "Reduced chi-squared = " + fixedText(results.reducedChiSquare) + "\r\n";
  text += "Signal noise = " + generalText(results.signalNoise) + "\r\n";
  text += "Fitted line : " + fittedName + "\r\n";
  if (residualName) text += "Residual : " + *residualName + "\r\n";
  return text;
}

std::vector<std::string> fitReportLines(const FitResults& results, const std::string& fileName) {
  const fitting::FitFunction* function = functionOf(results);
  std::vector<std::string> lines;
  lines.push_back("File : " + fileName);
  lines.push_back("Equation: " + (function ? function->equation : std::string()));
  lines.push_back("Function: " + (function ? function->name : std::string()));
  lines.push_back("Fit range: " + fixedText(results.from) + " to " + fixedText(results.to) + ".");
  lines.push_back("Parameters : ");
  if (function) {
    for (std::size_t j = 0; j < function->parameterNames.size(); ++j)
      lines.push_back("        " + parameterLine(results, *function, j));
  }
  lines.push_back("Normalised variance : " + generalText(results.normalisedVariance) + ".");
  lines.push_back("Estimated noise : " + generalText(results.signalNoise) + ".");
  return lines;
}

std::optional<EarlierFit> parseEarlierFit(const std::vector<std::string>& entries) {
  const auto& table = fitting::FitFunx();
  for (std::size_t e = 0; e < entries.size(); ++e) {
    const auto colon = entries[e].find(':');
    if (colon == std::string::npos) continue;
    const std::string candidate = trimmed(entries[e].substr(colon + 1));
    for (std::size_t f = 0; f < table.size(); ++f) {
      if (table[f].name != candidate) continue;
      EarlierFit fit{static_cast<int>(f), std::vector<double>(static_cast<std::size_t>(table[f].count), 0.0)};
      for (std::size_t j = 0; j < fit.values.size() && j < table[f].parameterNames.size(); ++j) {
        for (std::size_t later = e + 1; later < entries.size(); ++later) {
          const std::string& entry = entries[later];
          const auto equals = entry.find('=');
          if (equals == std::string::npos || trimmed(entry.substr(0, equals)) != table[f].parameterNames[j]) continue;
          const auto slash = entry.find('/', equals + 1);
          fit.values[j] = atofText(entry.substr(equals + 1, slash == std::string::npos ? std::string::npos
                                                                                      : slash - equals - 1));
          break;
        }
      }
      return fit;
    }
  }
  return std::nullopt;
}

std::vector<std::string> earlierFitEntries(const std::vector<datastore::HistoryEntry>& history,
                                           const std::string& traceName) {
  const auto& table = fitting::FitFunx();
  const std::string original = "Original line : " + traceName;
  for (auto entry = history.rbegin(); entry != history.rend(); ++entry) {
    if (entry->title != kFittingHistoryTitle) continue;
    std::vector<std::string> lines;
    for (std::size_t begin = 0; begin < entry->text.size();) {
      auto end = entry->text.find("\r\n", begin);
      if (end == std::string::npos) end = entry->text.size();
      lines.push_back(entry->text.substr(begin, end - begin));
      begin = end + 2;
    }
    if (lines.empty() || lines.front() != original) continue;
    for (std::string& line : lines)
      for (const auto& function : table)
        if (line == function.equation + function.name) {
          line = "Function: " + function.name;
          break;
        }
    return lines;
  }
  return {};
}

}  // namespace lumatix::app
