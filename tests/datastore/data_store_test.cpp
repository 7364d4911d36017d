#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "datastore/data_store.h"
#include "datastore/smart_ptr.h"
#include "support/fixed_providers.h"

namespace lumatix::datastore {
namespace {

DataStore twoByThreeByFour() {
  DataStore s("t", 2, 2);
  s.properties[0] = "CircularDichroism (mdeg)";
  s.properties[1] = "HV";
  s.dimensions[0] = Dimension("Wavelength", {1, 2, 3});
  s.dimensions[1] = Dimension("Temperature", {20, 30, 40, 50});
  EXPECT_TRUE(s.initialise());
  for (std::int32_t i = 0; i < s.data.count; ++i) s.data[i] = static_cast<float>(i);
  return s;
}

TEST(DataStore, ValueLayoutHasDimensionZeroFastestAndPropertySlowest) {
  testing::FixedProviders fixed;
  DataStore s = twoByThreeByFour();
  EXPECT_EQ(s.data.count, 24);
  s.setCurrentProperty(1);
  s.setCurrentIndex(0, 2);
  s.setCurrentIndex(1, 1);
  EXPECT_EQ(s.currentValue(), 17.0f);
  Array<float> at = s.valuesAt({2, 1});
  EXPECT_EQ(at[0], 5.0f);
  EXPECT_EQ(at[1], 17.0f);
}

TEST(DataStore, TraceIsAViewThatWritesIntoTheBlock) {
  testing::FixedProviders fixed;
  DataStore s = twoByThreeByFour();
  s.setCurrentIndex(0, 1);
  Array<float> alongTemperature = s.trace(1, 1);
  EXPECT_EQ(std::vector<float>(alongTemperature.begin(), alongTemperature.end()),
            (std::vector<float>{13, 16, 19, 22}));
  alongTemperature[3] = -1;
  EXPECT_EQ(s.data[22], -1.0f);
}

TEST(DataStore, AccessOutsideTheBlockThrowsInsteadOfReading) {
  testing::FixedProviders fixed;
  DataStore s = twoByThreeByFour();
  s.setCurrentIndex(1, 7);  // beyond the dimension
  EXPECT_THROW(s.currentValue(), std::out_of_range);
  EXPECT_THROW(s.trace(0, 0), std::out_of_range);
  s.setCurrentIndex(1, 0);
  EXPECT_THROW(s.trace(2, 0), std::out_of_range);
  EXPECT_THROW(s.trace(0, 2), std::out_of_range);
  EXPECT_THROW(s.valuesAt({3, 0}), std::out_of_range);
  s.data.resize(10);  // a block that no longer matches the dimensions
  EXPECT_THROW(s.trace(0, 0), std::out_of_range);
}

TEST(DataStore, NamesAndLookups) {
  testing::FixedProviders fixed;
  DataStore s = twoByThreeByFour();
  EXPECT_EQ(s.propertyName(5, false), "IllegalProperty");
  EXPECT_EQ(s.dimensionName(-1, true), "IllegalDimension");
  EXPECT_EQ(s.propertyName(0, true), "CircularDichroism");
  EXPECT_EQ(s.findProperty("CircularDichroism (something else)", true), 0);
  EXPECT_EQ(s.findProperty("CircularDichroism", false), -1);
  EXPECT_EQ(s.findProperty("CircularDichroism (mdeg)", false), 0);
  EXPECT_EQ(s.findDimension("Temperature", false), 1);
  EXPECT_EQ(s.findDimensionPrefix("Temp"), 1);
  EXPECT_EQ(s.findPropertyPrefix("X"), -1);
  EXPECT_EQ(s.currentIndex(9), -1);
}

TEST(DataStore, InitialiseAllocatesBuildsTheViewAndLogs) {
  testing::FixedProviders fixed("ann");
  DataStore empty("e", 0, 1);
  EXPECT_TRUE(empty.initialise());
  EXPECT_EQ(empty.data.count, 0);
  EXPECT_TRUE(empty.history.empty());

  DataStore s = twoByThreeByFour();
  ASSERT_EQ(s.history.size(), 1u);
  EXPECT_EQ(s.history[0].title, "DataStore initialized :");
  EXPECT_EQ(s.history[0].text, "DataStore created and initialized for data acquisition.\r\n");
  EXPECT_EQ(s.history[0].user, "ann");
  EXPECT_EQ(s.viewState.axisCount, 2);
  EXPECT_EQ(s.viewState.ranges[1], (std::pair<float, float>{50, 20}));
  EXPECT_EQ(s.viewState.marks.size(), 2u);
}

TEST(DataStore, PlaceholderOnlyForAStoreWithoutDimensions) {
  testing::FixedProviders fixed;
  DataStore s = twoByThreeByFour();
  EXPECT_FALSE(s.makePlaceholder());
  EXPECT_EQ(s.properties.size(), 2);
  DataStore p;
  EXPECT_TRUE(p.makePlaceholder());
  EXPECT_TRUE(p.isPlaceholder);
  EXPECT_EQ(p.dimensions[0].size(), 2);
  EXPECT_EQ(p.data.count, 2);
}

TEST(DataStore, CopiesStartUninitialisedAndWithoutTheEditor) {
  testing::FixedProviders fixed;
  DataStore s = twoByThreeByFour();
  s.modifiedBy = "bob";
  DataStore copy(s);
  EXPECT_FALSE(copy.initialised);
  EXPECT_EQ(copy.modifiedBy, "");
  EXPECT_EQ(copy.data[23], 23.0f);
  copy.data[0] = 99;
  EXPECT_EQ(s.data[0], 0.0f);

  DataStore assigned;
  assigned.modifiedBy = "eve";
  assigned = s;
  EXPECT_FALSE(assigned.initialised);
  EXPECT_EQ(assigned.modifiedBy, "eve");
  s = copy;
  EXPECT_TRUE(s.initialised);
}

TEST(DataStore, RangeAndSpectraKineticShape) {
  testing::FixedProviders fixed;
  DataStore s = twoByThreeByFour();
  s.data[7] = -3;
  s.computeRange();
  EXPECT_EQ(s.minValue, -3);
  EXPECT_EQ(s.maxValue, 23);
  EXPECT_FALSE(s.hasSpectraKineticShape());
  s.dimensions[1].name = "Time (s)";
  EXPECT_TRUE(s.hasSpectraKineticShape());
}

TEST(DataStore, DerivedFileIsCompliantOnlyWhenEveryAncestorWas) {
  testing::FixedProviders fixed;
  DataStore parent;
  parent.attributes.fileId = "{PARENT}";
  DataStore child;
  child.deriveFrom(parent, "parent.dsx", true, false);
  EXPECT_FALSE(child.attributes.cfrCompliant);
  EXPECT_FALSE(child.attributes.dataUnmodified);
  EXPECT_EQ(child.parent.fileId, "{PARENT}");
  EXPECT_EQ(child.parent.parentFileName, "parent.dsx");
  EXPECT_EQ(child.attributes.timeStamp, "Sun Dec  6 19:16:54 2026\n");
  EXPECT_FALSE(child.attributes.fileId.empty());

  DataStore grandchild;
  grandchild.deriveFrom(child, "child.dsx", false, true);
  EXPECT_FALSE(grandchild.attributes.cfrCompliant);
  EXPECT_TRUE(grandchild.attributes.dataUnmodified);
}

TEST(DataStore, HistoryTextHasHeaderTimeStampAndSeparator) {
  testing::FixedProviders fixed("ann");
  HistoryEntry entry = makeHistoryEntry("Smooth", "Window Size    :3\r\n");
  EXPECT_EQ(DataStore::historyText(entry),
            "User : ann\r\n"
            "Version : Morvath v.4.4.2.0 Build : Dec  6 2026 19:16:54\r\n"
            "Window Size    :3\r\n"
            "Time Stamp : Sun Dec  6 19:16:54 2026\n\r\n" +
                std::string(52, '-') + "\r\n");
  HistoryEntry old = makeOldComment("as it was");
  EXPECT_EQ(old.title, "Old Comment");
  EXPECT_EQ(DataStore::historyText(old), "as it was");
}

TEST(DataStore, AttributeListingForOriginalAndDerivedFiles) {
  testing::FixedProviders fixed;
  DataStore s;
  s.title = "Tue Nov 17 10:42:05 2026";
  s.attributes.fileId = "{ID}";
  std::ostringstream original;
  s.describeAttributes(original);
  EXPECT_EQ(original.str(),
            "Attributes :\r\n- Time Stamp :Tue Nov 17 10:42:05 2026\r\n- File ID : {ID}\r\n"
            "- Is CFR Compliant : true\r\n- Original data has not been modified.\r\n");

  s.formatName = "LumBinaryX";
  s.attributes.timeStamp = "Sun Dec  6 19:16:54 2026\n";
  s.attributes.dataUnmodified = false;
  s.parent.parentFileName = "a.dsx";
  s.parent.fileId = "{P}";
  std::ostringstream derived;
  s.describeAttributes(derived);
  EXPECT_EQ(derived.str(),
            "Attributes :\r\n- Time Stamp :Sun Dec  6 19:16:54 2026\n\r\n- File ID : {ID}\r\n"
            "- Is CFR Compliant : true\r\n- Data has been modified:\r\n"
            "- Parent File Name : a.dsx\r\n- Parent File ID   : {P}\r\n\r\n");

  s.formatName = "CARY-ASCII";
  s.headerLines.push_back("Method Scan");
  std::ostringstream cary;
  s.describeAttributes(cary);
  EXPECT_EQ(cary.str(), "Title: Tue Nov 17 10:42:05 2026\r\n\r\nMethod Scan\r\n");
}

TEST(SmartPtr, LastOwnerDeletesThroughTheVirtualDestructor) {
  static int destroyed = 0;
  struct Counted : DataStore {
    ~Counted() override { ++destroyed; }
  };
  {
    smart_ptr<DataStore> a(new Counted);
    smart_ptr<DataStore> b = a;
    EXPECT_EQ(a.use_count(), 2);
    a.reset();
    EXPECT_EQ(destroyed, 0);
  }
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
}  // namespace lumatix::datastore

namespace lumatix::datastore {
namespace {

// The plain loop the fast range must agree with, NaNs included.
std::pair<double, double> loopRange(const std::vector<float>& v) {
  double lo = v[0], hi = v[0];
  for (std::size_t i = v.size(); i-- > 0;) {
    if (v[i] < lo) lo = v[i];
    if (v[i] > hi) hi = v[i];
  }
  return {lo, hi};
}

TEST(DataStore, ComputeRangeAgreesWithThePlainLoop) {
  testing::FixedProviders fixed;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<std::vector<float>> cases{{1, -2, 3}, {nan, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17},
                                        {5, nan, -7, 9, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, -8}};
  std::vector<float> many(1001);
  for (std::size_t i = 0; i < many.size(); ++i) many[i] = static_cast<float>((i * 7919) % 1000) - 500.0f;
  many[400] = nan;
  cases.push_back(many);
  for (const auto& values : cases) {
    DataStore s("r", 1, 1);
    s.properties[0] = "P";
    s.dimensions[0] = Dimension("D", values);
    s.initialise();
    std::copy(values.begin(), values.end(), s.data.data);
    s.computeRange();
    auto [lo, hi] = loopRange(values);
    if (std::isnan(lo)) {
      EXPECT_TRUE(std::isnan(s.minValue) && std::isnan(s.maxValue));
    } else {
      EXPECT_EQ(s.minValue, lo);
      EXPECT_EQ(s.maxValue, hi);
    }
  }
}

}  // namespace
}  // namespace lumatix::datastore
