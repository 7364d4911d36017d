#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/fit_preferences.h"
#include "app/fit_session.h"
#include "platform/settings_store.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace lumatix::app {
namespace {

using ::testing::ElementsAre;

constexpr const char* kSection = "Preferences\\Fitting";

// A trace with x from 1 to 5.
const std::vector<double> kX{1, 2, 3, 4, 5};
const std::vector<double> kY{5, 4, 3, 2, 1};

struct RestoreRow {
  const char* name;
  std::vector<std::pair<std::string, std::string>> stored;
  std::vector<std::string> earlierFit;
  int function;
  std::vector<double> values;
  float from, to;
};

class FitPreferencesRestore : public ::testing::TestWithParam<RestoreRow> {};

TEST_P(FitPreferencesRestore, DialogStartTakesWhatTheStoreAndTheTraceSay) {
  const RestoreRow& row = GetParam();
  testing::TempDir dir;
  platform::SettingsStore store(dir.file("prefs.conf"));
  for (const auto& [key, value] : row.stored) store.setString(kSection, key, value);
  testing::ScriptedUi ui;
  FitSession session(ui, kX, kY, &store);
  if (!row.earlierFit.empty()) {
    ASSERT_TRUE(session.Preselect(row.earlierFit));
  }
  session.Begin();
  EXPECT_EQ(session.FunctionIndex(), row.function);
  EXPECT_EQ(session.Values(), row.values);
  EXPECT_EQ(session.RangeFrom(), row.from);
  EXPECT_EQ(session.RangeTo(), row.to);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FitPreferencesRestore,
    ::testing::Values(
        RestoreRow{"NothingStoredGivesSingleExponentialOverTheWholeTrace", {}, {}, 1, {0, 0, 0}, 1, 5},
        RestoreRow{"StoredRangeStartIsKeptItsEndBecomesTheTraceEnd",
                   {{"RangeSet", "1"}, {"RangeFrom", "2.5"}, {"RangeTo", "3"}}, {}, 1, {0, 0, 0}, 2.5f, 5},
        RestoreRow{"StoredRangeStartBeforeTheTraceIsRaised",
                   {{"RangeSet", "1"}, {"RangeFrom", "-4"}, {"RangeTo", "9"}}, {}, 1, {0, 0, 0}, 1, 5},
        RestoreRow{"RangeIgnoredWithoutRangeSet", {{"RangeSet", "0"}, {"RangeFrom", "2.5"}}, {}, 1, {0, 0, 0}, 1, 5},
        RestoreRow{"StoredFunctionAndValues",
                   {{"DefaultFunction", "0"}, {"NumParams", "2"}, {"0", "2.500000"}, {"1", "-1.25"}},
                   {}, 0, {2.5, -1.25}, 1, 5},
        RestoreRow{"ValuesIgnoredWhenTheirCountDiffers",
                   {{"DefaultFunction", "0"}, {"NumParams", "3"}, {"0", "2.5"}, {"1", "1"}}, {}, 0, {0, 0}, 1, 5},
        RestoreRow{"NegativeFunctionStopsTheRestore",
                   {{"DefaultFunction", "-1"}, {"NumParams", "2"}, {"0", "7"}}, {}, 0, {0, 0}, 1, 5},
        RestoreRow{"FunctionOutsideTheLibraryIsNotRestored",
                   {{"DefaultFunction", "20"}, {"NumParams", "2"}, {"0", "7"}}, {}, 0, {0, 0}, 1, 5},
        RestoreRow{"EarlierFitWinsOverTheStoredFunction",
                   {{"DefaultFunction", "0"}, {"NumParams", "2"}, {"0", "7"}},
                   {"Function: Inverted Exponential", "k = 0.35 +/- 0.01", "c = 0.05 +/- 0.001"}, 6,
                   {0.05, 0, 0.35}, 1, 5}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(FitPreferences, OkStoresRangeAndFunctionAndAcceptsOnlyAfterAFit) {
  testing::TempDir dir;
  const std::string path = dir.file("prefs.conf");
  platform::SettingsStore store(path);
  testing::ScriptedUi ui;
  FitSession session(ui, kX, kY, &store);
  session.Begin();
  session.SelectFunction(0);
  session.SetRange(1.5f, 4.25f);
  session.SetValues({-1.0, 6.0});
  EXPECT_FALSE(session.Accept());

  session.StartFit();
  while (session.Iterate() == FitProgress::Running) {
  }
  EXPECT_TRUE(session.Accept());

  platform::SettingsStore reread(path);
  EXPECT_EQ(reread.getString(kSection, "RangeFrom", ""), "1.5");
  EXPECT_EQ(reread.getString(kSection, "RangeTo", ""), "4.25");
  EXPECT_EQ(reread.getInt(kSection, "RangeSet", 0), 1);
  EXPECT_EQ(reread.getInt(kSection, "DefaultFunction", -9), 0);
  EXPECT_EQ(reread.getString(kSection, "Equation", ""), "a.x+c");
  EXPECT_EQ(reread.getInt(kSection, "NumParams", 0), 2);
  EXPECT_EQ(reread.getString(kSection, "0", ""), "-1.000000");
  EXPECT_EQ(reread.getString(kSection, "1", ""), "6.000000");
}

TEST(FitPreferences, ClosingStoresTheFunctionOnlyAfterAFitAndNeverTheRange) {
  testing::TempDir dir;
  const std::string path = dir.file("prefs.conf");
  platform::SettingsStore store(path);
  testing::ScriptedUi ui;
  {
    FitSession session(ui, kX, kY, &store);
    session.Begin();
    session.SelectFunction(0);
    session.Close();
  }
  EXPECT_FALSE(platform::SettingsStore(path).raw(kSection, "DefaultFunction"));

  FitSession session(ui, kX, kY, &store);
  session.Begin();
  session.SelectFunction(0);
  session.SetRange(2, 3);
  session.StartFit();
  session.Close();
  platform::SettingsStore reread(path);
  EXPECT_EQ(reread.getInt(kSection, "DefaultFunction", -9), 0);
  EXPECT_FALSE(reread.raw(kSection, "RangeSet"));
}

TEST(FitPreferences, UnwritableStoreIsReportedAndTheFitStillAccepted) {
  testing::TempDir dir;
  // A file where the folder should be makes every save fail.
  testing::writeFile(dir.file("blocker"), "x");
  platform::SettingsStore blocked(dir.file("blocker") + "/prefs.conf");
  testing::ScriptedUi ui;
  FitSession session(ui, kX, kY, &blocked);
  session.Begin();
  session.SelectFunction(0);
  session.StartFit();
  while (session.Fitting()) session.Iterate();
  ui.shown.clear();
  EXPECT_TRUE(session.Accept());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].icon, Icon::Warning);
}

}  // namespace
}  // namespace lumatix::app
