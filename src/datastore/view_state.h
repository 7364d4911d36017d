#pragma once
// The plot view saved with a DataStore.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lumatix::datastore {

struct ViewMark {
  float value = 0.0f;      // the trace's coordinate on the axis
  std::int32_t first = 0;  // the trace kind, 0..11
  std::int32_t second = 0; // the trace's number within its kind
  std::string label;       // the trace's name
  bool selected = false;   // only selected marks are kept in files
  friend bool operator==(const ViewMark&, const ViewMark&) = default;
};

struct ViewState {
  // The number of view axes a LumBinaryX file can hold.
  static constexpr std::int32_t kMaxAxes = 20;

  std::int32_t reserved = 0;
  std::int32_t axisCount = 0;
  std::vector<std::int32_t> dimensionOrder;
  std::vector<std::pair<float, float>> ranges;  // (largest, smallest) when built
  std::vector<std::vector<ViewMark>> marks;     // one list per view axis
  friend bool operator==(const ViewState&, const ViewState&) = default;
};

}  // namespace lumatix::datastore
