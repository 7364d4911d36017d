#include "cli_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <sstream>
#include <string_view>

#include "datastore/load_refusal.h"
#include "datastore/store_path.h"

namespace lumatix::cli {

std::unique_ptr<datastore::DataStore> loadStore(const std::string& path, const InputOptions& options) {
  auto store = std::make_unique<datastore::DataStore>(true);
  store->allowCary = options.allowCary;
  struct stat info {};
  if (path != "-" && ::stat(datastore::splitStorePath(path).file.c_str(), &info) != 0)
    throw CommandError("Sorry!\n\nCan't open the file " + path + "\n" + std::strerror(errno) + "\n");
  bool loaded = false;
  try {
    loaded = store->load(path, false);
  } catch (const datastore::LoadRefused& e) {
    // The format's own message, then why, in a sentence.
    throw CommandError(e.what() + (e.reason().empty() ? std::string() : e.reason() + "\n"));
  }
  if (!loaded) {
    if (path != "-" && ::access(datastore::splitStorePath(path).file.c_str(), R_OK) != 0)
      throw CommandError("Sorry!\n\nCan't open the file " + path + "\n" + std::strerror(errno) + "\n");
    const std::string& reason = datastore::lastLoadRefusal();
    throw CommandError("The file " + path + " could not be read as " + store->formatName +
                       (reason.empty() ? ": it is damaged or cut short.\n" : ":\n" + reason + "\n"));
  }
  return store;
}

std::string forPerson(const std::string& text) {
  struct Said {
    const char* internal;
    const char* person;
  };
  static const Said kSaid[] = {
      {"CDataSet::SmoothSG : filter fails to do convolution",
       "The traces could not be smoothed: they have too few points for the smoothing window."},
      {"Index out-of-range in DPointer::operator[]",
       "The data do not fill the file's dimensions: a value lies outside the stored block. The file may be damaged."},
      {"Datastore not valid", "The data set holds no dimensions or values: there is nothing to work with."},
  };
  std::string_view bare(text);
  while (!bare.empty() && (bare.back() == '\n' || bare.back() == '\r')) bare.remove_suffix(1);
  for (const Said& said : kSaid)
    if (bare == said.internal) return std::string(said.person) + "\n";
  return text;
}

void printText(std::ostream& out, const std::string& text) {
  std::string converted;
  converted.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    converted += text[i];
  }
  out << converted;
}

CLI::Validator FiniteRange(double min, double max) {
  const std::string range = formatNumber(min) + " to " + formatNumber(max);
  return CLI::Validator(
      [min, max, range](std::string& text) -> std::string {
        double value = 0;
        if (!CLI::detail::lexical_cast(text, value)) return "Value " + text + " is not a number";
        if (!std::isfinite(value)) return "Value " + text + " is not a finite number";
        if (value < min || value > max) return "Value " + text + " is outside the range " + range;
        return {};
      },
      "NUMBER in [" + range + "]");
}

CLI::Validator NonEmpty() {
  return CLI::Validator(
      [](std::string& text) -> std::string { return text.empty() ? std::string("The value must not be empty") : ""; },
      "TEXT");
}

std::string formatNumber(double value) {
  // The general form at precision 6 is printf's %g, which is what a default stream writes.
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
  return std::string(text, written.ptr);
}

}  // namespace lumatix::cli
