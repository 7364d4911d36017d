#pragma once
// CScale: nice tick marks for one plot axis. The major step is 1, 2 or 5 times a power of
// ten; each major step has 2, 5 or 10 minor subdivisions.

#include <cstdint>

namespace lumatix::plot {

struct SCALE {
  double min = 0.0, max = 0.0;  // min <= max
  double roundedRange = 0.0;
  double majorStep = 0.0, minorStep = 0.0;
  double firstMajor = 0.0, firstMinor = 0.0;  // at or below min
  std::int32_t intervals = 8;
  std::int32_t majorCount = 8;
  std::int32_t minorCount = 0;
  std::int32_t appliedIntervals = 1;
  bool logFlag = false;  // stored only: log axes are prepared in the data
  bool valid = false;
};

class CScale : public SCALE {
 public:
  CScale(double a, double b, bool logFlag = false);
  virtual ~CScale() = default;

  // Sorts a and b into min and max and computes; on failure the previous range stays.
  virtual bool SetRange(double a, double b);
  // False when the range is below 1e-8 or fewer than two intervals are asked for.
  virtual bool Compute();
  // intervals = n and compute; appliedIntervals follows only a success.
  bool SetIntervals(std::int32_t n);
};

}  // namespace lumatix::plot
