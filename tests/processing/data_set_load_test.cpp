#include <cmath>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "processing/data_set.h"
#include "processing/trace_cut.h"
#include "store_builder.h"
#include "support/fixed_providers.h"

namespace lumatix::processing {
namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;
using testing::makeStore;
using testing::placeValue;

class LoadTest : public ::testing::Test {
 protected:
  testing::FixedProviders providers;
};

TEST_F(LoadTest, NamesTracesByTheirCoordinates) {
  auto store = makeStore({"CircularDichroism -me"},
                         {{"Wavelength", {200, 210, 220}}, {"Temperature", {250.0f, 260.5f}}}, placeValue);
  CDataSet set;
  set.Load(*store, 0, 1, 0, -1);
  EXPECT_THAT(set.traceNames, ElementsAre("250", "260.5"));
  EXPECT_THAT(set.zValues, ElementsAre(250.0, 260.5));
  EXPECT_THAT(set.xA, ElementsAre(200, 210, 220));
  EXPECT_TRUE(set.xB.empty());
  EXPECT_THAT(set.yA[1], ElementsAre(1000, 1001, 1002));
  EXPECT_EQ(set.typeName, "Circular Dichroism");
  EXPECT_EQ(set.yLabel, "Molar Ellipticity");
  EXPECT_EQ(set.xLabel, "Wavelength (nm)");
  EXPECT_EQ(set.traceAxisLabel, "Temperature (C)");
  EXPECT_EQ(set.valueName, "CircularDichroism -me");
  EXPECT_EQ(set.unitCode, 3);
  EXPECT_THAT(set.traceState, ElementsAre(1, 1));
  EXPECT_EQ(set.traceCount, 2);
  EXPECT_EQ(set.pristineFlag, 0);
  EXPECT_THAT(set.dimNames, ElementsAre("Wavelength", "Temperature"));
  EXPECT_EQ(set.history, store->history);
}

TEST_F(LoadTest, XLabelOfMinutesAndOfAnUnknownName) {
  const std::pair<const char*, const char*> cases[] = {
      {"Time (min)", "Time (min)"}, {"Time", "Time (s)"}, {"Field strength", "Field strength"}};
  for (auto [name, label] : cases) {
    auto store = makeStore({"Voltage"}, {{name, {1, 2}}}, placeValue);
    CDataSet set;
    set.Load(*store, 0, -1, 0, -1);
    EXPECT_EQ(set.xLabel, label) << name;
    EXPECT_FALSE(set.hasTraceDim);
    EXPECT_EQ(set.TraceCount(), 1);
  }
}

TEST_F(LoadTest, SingleTraceTakesTheDefaultName) {
  auto store = makeStore({"Fluorescence autoScale"}, {{"Time", {0, 1, 2}}}, placeValue);
  CDataSet set;
  set.defaultTraceName = "run 4";
  set.Load(*store, 0, -1, 0, -1);
  EXPECT_THAT(set.traceNames, ElementsAre("run 4"));
  EXPECT_TRUE(set.autoscale);
  EXPECT_EQ(set.defaultTraceName, "run 4");
}

TEST_F(LoadTest, OtherDimensionsAreHeldAtTheirCurrentIndex) {
  // Three dimensions: x along dimension 2, traces along dimension 0, dimension 1 at index 1.
  auto store = makeStore({"Absorbance"},
                         {{"Cell", {1, 2}}, {"Repeat", {1, 2, 3}}, {"Wavelength", {300, 310, 320, 330}}},
                         [](int, const std::vector<int>& i) { return float(100 * i[0] + 10 * i[1] + i[2]); });
  store->dimensions[1].currentIndex = 1;
  CDataSet set;
  set.Load(*store, 2, 0, 0, -1);
  ASSERT_EQ(set.TraceCount(), 2);
  EXPECT_THAT(set.yA[0], ElementsAre(10, 11, 12, 13));
  EXPECT_THAT(set.yA[1], ElementsAre(110, 111, 112, 113));
}

TEST_F(LoadTest, ReadsTheChosenProperty) {
  auto store = makeStore({"CircularDichroism", "HT"}, {{"Wavelength", {1, 2}}},
                         [](int p, const std::vector<int>& i) { return float(p * 50 + i[0]); });
  CDataSet set;
  set.Load(*store, 0, -1, 1, -1);
  EXPECT_THAT(set.yA[0], ElementsAre(50, 51));
  EXPECT_EQ(set.yLabel, "HV (v)");
}

TEST_F(LoadTest, OptionTransformAppliesToSegmentAOnly) {
  auto store = makeStore({"Absorbance"}, {{"Time", {1, 2, 3, 4}}},
                         [](int, const std::vector<int>&) { return 1.0f; });
  store->viewState.ranges[0].first = 2.0f;  // points 3 and 4 were appended after the view was saved
  CDataSet set;
  set.Load(*store, 0, -1, 0, 1);
  EXPECT_EQ(set.yLabel, "Transmission (%)");
  EXPECT_THAT(set.xA, ElementsAre(1, 2));
  EXPECT_THAT(set.xB, ElementsAre(3, 4));
  EXPECT_THAT(set.yA[0], ElementsAre(10, 10));
  EXPECT_THAT(set.yB[0], ElementsAre(1, 1));
  EXPECT_THAT(set.XValues(), ElementsAre(1, 2, 3, 4));
  EXPECT_THAT(set.YValues(0), ElementsAre(10, 10, 1, 1));
}

TEST_F(LoadTest, TransformedValuesAreRoundedToFloat) {
  auto store = makeStore({"Absorbance -tran"}, {{"Time", {1, 2}}},
                         [](int, const std::vector<int>&) { return 50.0f; });
  CDataSet set;
  set.Load(*store, 0, -1, 0, 2);
  EXPECT_EQ(set.yA[0][0], static_cast<double>(static_cast<float>(-std::log10(0.5))));
}

TEST_F(LoadTest, AppendedTracesAreNamedFromTheStoredMarks) {
  auto store = makeStore({"CircularDichroism"}, {{"Wavelength", {200, 210}}, {"Temperature", {20, 25, 30, 35, 40}}},
                         placeValue);
  auto& view = store->viewState;
  view.ranges[1].first = 25.0f;
  view.marks[1] = {{30, 2, 3, "ignored", true}, {35, 0, 0, "my trace", true}, {40, 8, 0, "", true}};
  CDataSet set;
  set.Load(*store, 0, 1, 0, -1);
  EXPECT_THAT(set.traceNames, ElementsAre("20", "25", "Subtracted:3", "my trace", "Smooth (s):0"));
  EXPECT_THAT(set.traceKind, ElementsAre(0, 0, 2, 0, 8));
  EXPECT_EQ(set.kindCounters[2], 4);
  EXPECT_EQ(set.kindCounters[8], 1);
  EXPECT_EQ(set.kindCounters[1], 0);
}

TEST_F(LoadTest, OneMeasuredTraceKeepsTheDefaultNameAndMissingMarksFallBackToCoordinates) {
  auto store = makeStore({"CircularDichroism"}, {{"Wavelength", {200, 210}}, {"Temperature", {20, 25, 30}}},
                         placeValue);
  store->viewState.ranges[1].first = 20.0f;
  store->viewState.marks[1] = {{25, 1, 6, "", true}};
  CDataSet set;
  set.defaultTraceName = "first";
  set.Load(*store, 0, 1, 0, -1);
  EXPECT_THAT(set.traceNames, ElementsAre("first", "Added:6", "30"));
}

TEST_F(LoadTest, MarkOfKindTwelveIsRefusedAndTheDataSetIsUnchanged) {
  auto good = makeStore({"Voltage"}, {{"Time", {0, 1}}}, placeValue);
  auto bad = makeStore({"CircularDichroism"}, {{"Wavelength", {200, 210}}, {"Temperature", {20, 25, 30}}},
                       placeValue);
  bad->viewState.ranges[1].first = 25.0f;
  bad->viewState.marks[1] = {{30, 12, 0, "", true}};
  CDataSet set;
  set.Load(*good, 0, -1, 0, -1);
  const CDataSet before = set;
  EXPECT_THAT([&] { set.Load(*bad, 0, 1, 0, -1); }, ThrowsMessage<std::runtime_error>(kTraceKindOutOfRange));
  EXPECT_EQ(set.yLabel, before.yLabel);
  EXPECT_EQ(set.yA, before.yA);
  EXPECT_EQ(set.traceNames, before.traceNames);
  EXPECT_EQ(std::string(kTraceKindOutOfRange),
            "Trace type is out of range.\n\nIf you see this message contact QVL Technical Support for a software "
            "update.");
}

TEST_F(LoadTest, IndicesTheStoreDoesNotHaveAreRefused) {
  auto store = makeStore({"Voltage"}, {{"Time", {0, 1}}, {"Cell", {1, 2}}, {"Repeat", {1, 2}}}, placeValue);
  struct Case {
    const char* name;
    int x, traces, value;
    const char* message;
  };
  const Case cases[] = {
      {"XBeyondTheDimensions", 3, -1, 0, "There is no dimension 3 to use as the x axis: the data have 3 dimensions."},
      {"TracesBeyondTheDimensions", 0, 7, 0,
       "There is no dimension 7 to draw traces along: the data have 3 dimensions."},
      {"TracesBelowMinusOne", 0, -2, 0, "There is no dimension -2 to draw traces along: the data have 3 dimensions."},
      {"SameDimensionTwice", 1, 1, 0, "The x axis and the traces cannot be along the same dimension."},
      {"PropertyBeyondTheProperties", 0, 1, 1, "There is no property 1: the data have 1 properties."},
  };
  for (const auto& c : cases) {
    CDataSet set;
    EXPECT_THAT([&] { set.Load(*store, c.x, c.traces, c.value, -1); },
                ThrowsMessage<std::runtime_error>(c.message))
        << c.name;
    EXPECT_EQ(set.TraceCount(), 0) << c.name;
  }
  store->dimensions[2].currentIndex = 2;
  CDataSet set;
  EXPECT_THAT([&] { set.Load(*store, 0, 1, 0, -1); },
              ThrowsMessage<std::runtime_error>("Index 2 of dimension Repeat does not exist."));
}

TEST_F(LoadTest, ValueBlockShorterThanTheDimensionsIsRefused) {
  auto store = makeStore({"Voltage"}, {{"Time", {0, 1, 2}}}, placeValue);
  store->data.resize(2);
  CDataSet set;
  EXPECT_THAT([&] { set.Load(*store, 0, -1, 0, -1); },
              ThrowsMessage<std::runtime_error>("The values do not match the dimensions of the data."));
}

TEST_F(LoadTest, NegativeXOrValueIndexDoesNothing) {
  auto store = makeStore({"Voltage"}, {{"Time", {0, 1}}}, placeValue);
  CDataSet set;
  set.Load(*store, -1, -1, 0, -1);
  set.Load(*store, 0, -1, -1, -1);
  EXPECT_EQ(set.TraceCount(), 0);
  EXPECT_EQ(set.pristineFlag, 1);
}

TEST_F(LoadTest, InvalidOptionIsRefused) {
  auto store = makeStore({"Absorbance"}, {{"Time", {0, 1}}}, placeValue);
  CDataSet set;
  EXPECT_THAT([&] { set.Load(*store, 0, -1, 0, 3); },
              ThrowsMessage<std::runtime_error>("The currently selected option is invalid.\n"));
}

// The shape and its cut give what Load copies, value for value, in every layout: x the slow
// dimension, traces along the fast one, appended points in segment B, a unit transform, a
// further dimension held at an index other than 0, and a single trace.
TEST_F(LoadTest, ShapeReadsTheValuesLoadCopies) {
  struct Row {
    const char* name;
    int xDim, traceDim, option;
    float split;  // the saved view's x split; appended points lie above it
  };
  const Row rows[] = {
      {"x fast, traces slow", 0, 1, -1, 1e9f},
      {"x slow, traces fast", 1, 0, -1, 1e9f},
      {"appended points", 0, 1, -1, 2.0f},
      {"unit transform", 0, 2, 1, 1e9f},
      {"single trace", 2, -1, 1, 1e9f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto store = makeStore({"Absorbance"}, {{"Time", {1, 2, 3, 4}}, {"Repeat", {1, 2, 3}}, {"Cell", {1, 2}}},
                           [](int, const std::vector<int>& i) { return static_cast<float>(0.5 + i[0] + 10 * i[1] + 100 * i[2]); });
    store->viewState.ranges[static_cast<std::size_t>(row.xDim)].first = row.split;
    for (int d = 0; d < 3; ++d)
      if (d != row.xDim && d != row.traceDim) store->dimensions[d].currentIndex = 1;
    CDataSet loaded, shaped;
    loaded.Load(*store, row.xDim, row.traceDim, 0, row.option);
    const TraceCut cut = shaped.LoadShape(*store, row.xDim, row.traceDim, 0, row.option);
    ASSERT_EQ(cut.traces, loaded.TraceCount());
    EXPECT_EQ(shaped.traceNames, loaded.traceNames);
    EXPECT_EQ(shaped.xA, loaded.xA);
    EXPECT_EQ(shaped.xB, loaded.xB);
    EXPECT_EQ(shaped.yLabel, loaded.yLabel);
    for (int t = 0; t < cut.traces; ++t) {
      const auto ti = static_cast<std::size_t>(t);
      EXPECT_TRUE(shaped.yA[ti].empty());
      for (std::size_t j = 0; j < loaded.xA.size(); ++j) EXPECT_EQ(cut.a(t, j), loaded.yA[ti][j]) << t << "," << j;
      for (std::size_t j = 0; j < loaded.xB.size(); ++j) EXPECT_EQ(cut.b(t, j), loaded.yB[ti][j]) << t << "," << j;
    }
  }
}

}  // namespace
}  // namespace lumatix::processing
