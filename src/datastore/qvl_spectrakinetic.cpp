#include <stdexcept>
#include <string>
#include <vector>

#include "datastore/data_store.h"
#include "datastore/load_refusal.h"
#include "datastore/qvl_ascii.h"
#include "datastore/text_cursor.h"
#include "datastore/text_number.h"

namespace lumatix::datastore {
namespace {

constexpr int kMaxRemarkLines = 1000;

// Refuses the file with what was expected at the cursor and what stands there instead.
[[noreturn]] void corrupt(const text::TextCursor& c, const std::string& expected) {
  refuseWith("The file is corrupt.\n", "QVL-ASCII-SPECTRAKINETIC file: " +
                                            atLine(c, expected + " was expected; found " + foundHere(c) + "."));
}

void expectWord(text::TextCursor& c, const char* expected) {
  std::string word;
  c.skipWs();
  const std::size_t start = c.position();
  if (!c.word(word) || word != expected) {
    c.seek(start);
    corrupt(c, std::string("\"") + expected + "\"");
  }
}

// "N_spec:" or "N_lam:", then the count; every counted number needs room in the file.
std::int32_t readCount(text::TextCursor& c, const char* label) {
  c.skipWs();
  std::int64_t count = 0;
  if (!c.accept(std::string_view(label)) || !c.readInt(count) || count < 1 ||
      static_cast<std::uint64_t>(count) > text::numbersThatFit(c.remaining()))
    corrupt(c, std::string("\"") + label + "\" and a count of one or more, no more than the file holds,");
  return static_cast<std::int32_t>(count);
}

void readAxis(text::TextCursor& c, const char* label, Dimension& dimension) {
  expectWord(c, label);
  for (auto& v : dimension.values)
    if (!c.readFloat(v)) corrupt(c, std::string("a number of the list after \"") + label + "\"");
}

}  // namespace

void readQvlSpectraKinetic(DataStore& store, std::istream& in) {
  store.attributes.cfrCompliant = false;
  auto c = text::TextCursor::fromStart(in);
  std::string line;

  c.skipWs();
  std::size_t start = c.position();
  auto corruptLine = [&](const std::string& expected) {
    c.seek(start);
    corrupt(c, expected);
  };
  if (!c.line(line) || line != "QVL-ASCII-SPECTRAKINETIC") corruptLine("\"QVL-ASCII-SPECTRAKINETIC\"");
  c.skipWs();
  start = c.position();
  if (!c.line(line)) corrupt(c, "a \"TYPE>DATA_\" line");
  std::size_t mark = line.find('>');
  if (mark == std::string::npos || line.compare(0, mark, "TYPE") != 0) corruptLine("a \"TYPE>DATA_\" line");
  std::size_t cut = line.find('_', mark + 1);
  if (line.substr(mark + 1, cut == std::string::npos ? std::string::npos : cut - mark - 1).find("DATA") == std::string::npos)
    corruptLine("a \"TYPE>DATA_\" line");
  std::string property = cut == std::string::npos ? std::string() : line.substr(cut + 1);

  if (!property.empty() && property[0] == '%') {
    property = "Absorbance";
  } else {
    c.skipWs();
    start = c.position();
    std::string word;
    if (c.word(word) && word == "%")
      c.skipLine();
    else
      c.seek(start);
  }

  // Up to and including the closing "%" line, which stands for a separator.
  store.remarks.clear();
  for (int i = 0;; ++i) {
    if (i == kMaxRemarkLines) corrupt(c, "a \"%\" line closing the remarks within 1000 lines");
    if (!c.line(line)) break;
    if (!line.empty() && line[0] == '%') {
      store.remarks.push_back("---------------------");
      break;
    }
    store.remarks.push_back(line);
  }

  expectWord(c, "/");
  const std::int32_t spectra = readCount(c, "N_spec:");
  const std::int32_t wavelengths = readCount(c, "N_lam:");
  if (static_cast<std::uint64_t>(spectra) * static_cast<std::uint64_t>(wavelengths) > text::numbersThatFit(c.remaining()))
    corrupt(c, "room for " + std::to_string(spectra) + " spectra of " + std::to_string(wavelengths) + " values");

  store.properties = Array<std::string>(std::vector<std::string>{property});
  store.dimensions = Array<Dimension>(2);
  store.dimensions[0].set("Wavelength", wavelengths);
  store.dimensions[1].set("Time", spectra);
  readAxis(c, "Times:", store.dimensions[1]);
  readAxis(c, "Lambda:", store.dimensions[0]);
  expectWord(c, "Data:");

  if (!store.initialise()) corrupt(c, "a value block that fits in memory");
  float* values = store.data.data;
  for (std::int32_t i = 0; i < store.data.count; ++i)
    if (!c.readFloat(values[i]))
      corrupt(c, "value " + std::to_string(i + 1) + " of " + std::to_string(store.data.count));
  store.computeRange();
}

std::ostream& writeQvlSpectraKinetic(DataStore& store, std::ostream& out) {
  if (!store.hasSpectraKineticShape()) throw std::runtime_error("Cannot export this file to spectrakinetic format");
  const std::int32_t timeIndex = store.findDimensionPrefix("Time");
  const std::int32_t wavelengthIndex = store.findDimensionPrefix("Wavelength");

  std::int32_t property = 0;
  while (property < store.properties.size() && store.propertyName(property, true) == "Count") ++property;
  if (property == store.properties.size()) throw std::runtime_error("Cannot export this file to spectrakinetic format");
  store.setCurrentProperty(property);

  Dimension& times = store.dimensions[timeIndex];
  const Dimension& lambdas = store.dimensions[wavelengthIndex];
  const bool descending = lambdas.values[1] < lambdas.values[0];
  const std::int32_t n = lambdas.size();
  auto ascending = [&](std::int32_t k) { return descending ? n - 1 - k : k; };

  std::string s = "QVL-ASCII-SPECTRAKINETIC\nTYPE>DATA_" + store.properties[property] + "\n%\n";
  if (!store.title.empty()) s += store.title + '\n';
  for (const auto& remark : store.remarks) s += remark + '\n';
  s += "%\n/\nN_spec:" + std::to_string(times.size()) + "\nN_lam:" + std::to_string(n) + "\nTimes:\n";
  for (float t : times.values) s += text::floatText(t) + '\n';
  s += "Lambda:\n";
  for (std::int32_t k = 0; k < n; ++k) s += text::floatText(lambdas.values[ascending(k)]) + '\n';
  s += "Data:\n";

  const std::int32_t keep = times.currentIndex;
  for (std::int32_t t = 0; t < times.size(); ++t) {
    times.currentIndex = t;
    Array<float> spectrum = store.trace(wavelengthIndex, property);
    for (std::int32_t k = 0; k < n; ++k) {
      text::appendFloat(s, spectrum[ascending(k)]);
      s += '\n';
    }
    s += '\n';
  }
  times.currentIndex = keep;
  s += '\n';
  out.write(s.data(), static_cast<std::streamsize>(s.size()));
  out.flush();
  store.formatName = "QVL-ASCII-SPECTRAKINETIC";
  return out;
}

}  // namespace lumatix::datastore
