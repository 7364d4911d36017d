#pragma once
// QVdata: one trace of a QVL-ASCII file (".kin") between the file and a store.

#include <array>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace lumatix::datastore {

class QVdata {
 public:
  QVdata() = default;
  virtual ~QVdata() = default;
  QVdata(const QVdata&) = default;
  QVdata& operator=(const QVdata&) = default;

  // Takes count points and the names; box becomes the points' extent. No third column.
  void set(const std::vector<float>& xValues, const std::vector<float>& yValues, std::int32_t pointCount,
           const std::string& newTitle, const std::string& newXType, const std::string& newYType);

  // Reads from the stream's current position (leading white space skipped). On a wrong
  // first line or INFO label, a point count that the file cannot hold, or a number that
  // cannot be read, sets the stream's fail state and leaves the fields partly filled.
  void read(std::istream& in);

  // Writes the file: numbers with the default stream formatting, point lines x TAB y
  // (TAB z with a third column).
  void write(std::ostream& out) const;

  std::int32_t count = 0;
  std::vector<float> x, y, z;  // z is empty without a third column
  std::string title;
  std::array<std::string, 4> extraLines;
  std::string xType, yType;
  std::array<double, 4> box{};  // xmin, ymin, xmax, ymax
  std::int32_t wavelength = 0;  // tenths of a nanometre
  float temperature = 0.0f;
  float time = 0.0f;
  bool hasThirdColumn = false;
  std::string timeStamp;
};

}  // namespace lumatix::datastore
