#pragma once
// Stores and byte helpers shared by the binary-format tests.

#include <cstring>
#include <sstream>
#include <string>

#include "datastore/data_store.h"
#include "datastore/lum_binary.h"

namespace lumatix::testing {

// Two properties over Wavelength (3) x Temperature (2), values 0..11, a remark, a selected and
// an unselected mark, and compliance attributes.
inline datastore::DataStore sampleStore() {
  using namespace datastore;
  DataStore s("Melt of sample A", 2, 2);
  s.properties[0] = "CircularDichroism -me";
  s.properties[1] = "HV";
  s.dimensions[0] = Dimension("Wavelength", {260, 259.5f, 259});
  s.dimensions[1] = Dimension("Temperature", {20, 80});
  s.initialise();
  for (std::int32_t i = 0; i < s.data.count; ++i) s.data[i] = static_cast<float>(i) * 0.5f - 2;
  s.addRemark("buffer: 10 mM phosphate");
  s.addRemark("");
  s.extraStrings.push_back("extra");
  s.attributes.fileId = "{11111111-2222-4333-8444-555555555555}";
  s.attributes.timeStamp = "Sun Dec  6 19:16:54 2026\n";
  s.parent.parentFileName = "/data/parent.dsx";
  s.parent.cfrCompliant = false;
  s.viewState.marks[1].push_back({90, 2, 0, "Subtracted:0", true});
  s.viewState.marks[1].push_back({100, 7, 0, "Average:0", false});
  s.addHistory(makeHistoryEntry("Baseline Subtraction:", "Baseline subtracted from :\\..20\r\n"));
  s.computeRange();
  return s;
}

inline std::string writeX(datastore::DataStore& s, bool headerOnly = false) {
  std::ostringstream out;
  datastore::writeLumBinaryX(s, out, headerOnly);
  return out.str();
}

inline std::string writeOld(datastore::DataStore& s, bool headerOnly = false) {
  std::ostringstream out;
  datastore::writeLumBinary(s, out, headerOnly);
  return out.str();
}

inline std::string le32(std::uint32_t v) {
  std::string b(4, '\0');
  for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return b;
}

// The offset just after the first occurrence of a NUL-terminated text.
inline std::size_t after(const std::string& bytes, const std::string& text) {
  auto at = bytes.find(text + std::string(1, '\0'));
  return at == std::string::npos ? std::string::npos : at + text.size() + 1;
}

}  // namespace lumatix::testing
