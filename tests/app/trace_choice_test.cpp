#include <gtest/gtest.h>

#include "app/trace_choice.h"
#include "processing/store_builder.h"

namespace lumatix::app {
namespace {

std::unique_ptr<datastore::DataStore> cube() {
  return testing::makeStore({"CD"}, {{"Wavelength", {200, 210, 220}}, {"Temperature", {20, 30, 40, 50}}, {"Repeat", {1, 2}}},
                            testing::placeValue);
}

TraceChoice axes(std::string x, std::string traces = "") {
  TraceChoice c;
  c.x = std::move(x);
  c.traces = std::move(traces);
  return c;
}

struct AxesRow {
  const char* name;
  std::vector<std::int32_t> viewOrder;  // the saved view's axes
  TraceChoice choice;
  int x, traces;
  const char* error;  // the start of the refusal; nullptr: none
};

class TraceAxesChoice : public ::testing::TestWithParam<AxesRow> {};

TEST_P(TraceAxesChoice, DefaultsFromTheSavedViewAndRefusals) {
  const AxesRow& row = GetParam();
  auto store = cube();
  store->viewState.axisCount = static_cast<std::int32_t>(row.viewOrder.size());
  store->viewState.dimensionOrder = row.viewOrder;
  if (row.error) {
    try {
      resolveAxes(*store, row.choice);
      FAIL() << "accepted";
    } catch (const TraceChoiceError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(row.error, 0), 0u) << e.what();
    }
    return;
  }
  const TraceAxes axes = resolveAxes(*store, row.choice);
  EXPECT_EQ(axes.x, row.x);
  EXPECT_EQ(axes.traces, row.traces);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TraceAxesChoice,
    ::testing::Values(AxesRow{"NoViewTakesTheFirstTwo", {}, {}, 0, 1, nullptr},
                      AxesRow{"TheSavedView", {2, 0}, {}, 2, 0, nullptr},
                      AxesRow{"ViewNamingAMissingDimension", {7, 1}, {}, 0, 1, nullptr},
                      AxesRow{"XByNameTracesTheFirstFreeAxis", {1, 0}, axes("Wavelength"), 0, 1, nullptr},
                      AxesRow{"XByIndexTracesTheFirstOther", {}, axes("2"), 2, 0, nullptr},
                      AxesRow{"NoTraceDimension", {}, axes("", "none"), 0, -1, nullptr},
                      AxesRow{"SameDimensionTwice", {}, axes("1", "Temperature"), 0, 0,
                              "The x axis and the traces cannot be along the same dimension."},
                      AxesRow{"UnknownName", {}, axes("Pressure"), 0, 0, "The file has no dimension \"Pressure\""},
                      AxesRow{"IndexOutOfRange", {}, axes("", "3"), 0, 0, "The file has no dimension \"3\""},
                      AxesRow{"NegativeIndex", {}, axes("-1"), 0, 0, "The file has no dimension \"-1\""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(TraceChoiceAt, HoldsTheOtherDimensionsAndRefusesWhatTheFileLacks) {
  struct Row {
    const char* name;
    std::vector<std::string> at;
    int repeatIndex;    // Repeat's index after loading
    const char* error;  // nullptr: loaded
  } rows[] = {
      {"DefaultIsZero", {}, 0, nullptr},
      {"ByName", {"Repeat=1"}, 1, nullptr},
      {"ByIndex", {"2=1"}, 1, nullptr},
      {"PastTheEnd", {"Repeat=2"}, 0, "Index 2 of dimension Repeat does not exist (it has 2 points)."},
      {"NotANumber", {"Repeat=1x"}, 0, "Index 1x of dimension Repeat does not exist"},
      {"NoEquals", {"Repeat"}, 0, "--at takes DIM=INDEX, not \"Repeat\"."},
      {"TheXAxis", {"Wavelength=1"}, 0, "--at cannot hold dimension"},
  };
  for (const auto& r : rows) {
    auto store = cube();
    store->dimensions[2].currentIndex = 1;  // what a window left behind is not kept
    TraceChoice choice;
    choice.at = r.at;
    if (r.error) {
      try {
        loadTraces(*store, choice);
        ADD_FAILURE() << r.name << ": accepted";
      } catch (const TraceChoiceError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(r.error, 0), 0u) << r.name << ": " << e.what();
      }
      continue;
    }
    const processing::CDataSet set = loadTraces(*store, choice);
    EXPECT_EQ(store->dimensions[2].currentIndex, r.repeatIndex) << r.name;
  }
}

}  // namespace
}  // namespace lumatix::app
