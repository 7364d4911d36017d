#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/global_fit_command.h"
#include "datastore/data_store.h"
#include "fitting/fit_funx.h"
#include "fitting/thermal_unfolding.h"
#include "processing/data_set.h"
#include "processing/store_builder.h"
#include "support/fixed_providers.h"
#include "support/scripted_ui.h"

namespace lumatix::app {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr int kSingleExponential = 1;
constexpr int kUnfolding = 19;

// Traces c_t + a_t.exp(-0.8 x), 40 points over [0, 5], a little noise from the value's place.
std::unique_ptr<datastore::DataStore> decays(int traces) {
  std::vector<float> x, z;
  for (int i = 0; i < 40; ++i) x.push_back(static_cast<float>(5.0 * i / 39));
  for (int t = 0; t < traces; ++t) z.push_back(static_cast<float>(t + 1));
  return testing::makeStore({"Absorbance"}, {{"Time", x}, {"Repeat", z}}, [&](int, const std::vector<int>& at) {
    const double wobble = 0.002 * std::sin(7.0 * at[0] + 3.0 * at[1]);
    return static_cast<float>(0.1 * at[1] + (1.0 + 0.2 * at[1]) * std::exp(-0.8 * x[at[0]]) + wobble);
  });
}

std::unique_ptr<datastore::DataStore> exampleMelt() {
  auto store = std::make_unique<datastore::DataStore>(false);
  if (!store->load(std::string(LUMATIX_EXAMPLES_DIR) + "/cd_two_state_melt.dsx", false)) return nullptr;
  return store;
}

processing::CDataSet load(const datastore::DataStore& store) {
  processing::CDataSet set;
  set.Load(store, 0, 1, 0, -1);
  return set;
}

GlobalFitSettings exponentialSettings() {
  GlobalFitSettings settings;
  settings.functionIndex = kSingleExponential;
  settings.shared = {false, false, true};
  settings.locks = {0, 0, 0};
  return settings;
}

TEST(GlobalFitCommand, SharedRateFromThreeDecaysWithFittedAndResidualTraces) {
  testing::FixedProviders providers;
  auto store = decays(3);
  processing::CDataSet set = load(*store);
  GlobalFitSession session(set, {1, 1, 1}, exponentialSettings());
  session.Run();
  const GlobalFitResults& results = session.Results();
  ASSERT_TRUE(results.converged) << fitting::describeEndReason(results.reason);
  EXPECT_THAT(results.traces, ElementsAre(0, 1, 2));
  for (std::size_t t = 0; t < 3; ++t) {
    EXPECT_NEAR(results.values[t][2], 0.8, 0.01);
    EXPECT_EQ(results.values[t][2], results.values[0][2]) << "a shared value is one value";
    EXPECT_NEAR(results.values[t][0], 0.1 * static_cast<double>(t), 0.01);
    EXPECT_GT(results.errors[t][0], 0.0);
  }

  testing::ScriptedUi ui;
  const auto text = applyGlobalFitResults(set, *store, results, ui);
  ASSERT_TRUE(text.has_value());
  EXPECT_THAT(ui.texts(), IsEmpty());
  EXPECT_THAT(set.traceNames, ElementsAre("1", "2", "3", "Fit (f):0", "Fit (r):0", "Fit (f):1", "Fit (r):1",
                                          "Fit (f):2", "Fit (r):2"));
  EXPECT_THAT(set.traceKind, ElementsAre(0, 0, 0, 10, 11, 10, 11, 10, 11));
  // The residual trace is the data minus the fitted trace, point for point, each kept in
  // single precision.
  for (std::size_t j = 0; j < set.xA.size(); ++j)
    EXPECT_NEAR(set.yA[4][j], set.yA[0][j] - set.yA[3][j], 1e-7 * std::fabs(set.yA[3][j]) + 1e-12);
  ASSERT_FALSE(set.history.empty());
  EXPECT_EQ(set.history.back().title, kGlobalFittingHistoryTitle);
  EXPECT_EQ(set.history.back().text, *text);
  EXPECT_THAT(*text, HasSubstr("Original line : 1\r\nOriginal line : 2\r\nOriginal line : 3\r\na.exp(-kx)+cSingle "
                               "Exponential\r\nShared parameters : k\r\nk = 0.8"));
  EXPECT_THAT(*text, HasSubstr("\r\nTrace : 3\r\nc = 0.2"));
  EXPECT_THAT(*text, HasSubstr("New trace : Fit (f)::2\r\nNew trace : Fit (r)::2\r\n"));
  EXPECT_EQ(store->viewState.marks[1].size(), 6u);
}

// The example melt was made with Tm = 58 C and dH = 250 kJ/mol (tools/make-examples).
TEST(GlobalFitCommand, TheExampleMeltGivesBackItsMidpointAndEnthalpy) {
  auto store = exampleMelt();
  ASSERT_TRUE(store);
  processing::CDataSet set = load(*store);
  ASSERT_EQ(set.TraceCount(), 71);
  ASSERT_EQ(set.xA.size(), 36u);
  GlobalFitSettings settings;
  settings.functionIndex = kUnfolding;
  settings.shared = {false, false, false, false, true, true};
  settings.locks.assign(6, 0);
  GlobalFitSession session(set, std::vector<int>(71, 1), settings);
  session.Run();
  const GlobalFitResults& results = session.Results();
  ASSERT_TRUE(results.converged) << fitting::describeEndReason(results.reason);
  EXPECT_LE(results.iterations, 25);
  const double tm = results.values[0][4], dH = results.values[0][5];
  const double tmError = results.errors[0][4], dHError = results.errors[0][5];
  // Within three standard errors, which are themselves near what the noise (0.15 mdeg) gives.
  EXPECT_NEAR(tm, 58.0, 3.0 * tmError);
  EXPECT_NEAR(dH, 250000.0, 3.0 * dHError);
  EXPECT_GT(tmError, 0.001);
  EXPECT_LT(tmError, 0.1);
  EXPECT_NEAR(std::sqrt(results.reducedChiSquare), 0.15, 0.01);

  testing::ScriptedUi ui;
  ASSERT_TRUE(applyGlobalFitResults(set, *store, results, ui));
  // Tm and dH shared: one folded fraction for every trace, one half at Tm.
  ASSERT_EQ(set.traceNames.back(), "Fraction folded::shared");
  EXPECT_EQ(set.traceKind.back(), 0);
  const auto& folded = set.yA.back();
  EXPECT_NEAR(folded.front(), 1.0, 1e-3);
  EXPECT_NEAR(folded.back(), 0.0, 1e-3);
  EXPECT_NEAR(fitting::unfolding::foldedFraction(tm, tm, dH), 0.5, 1e-12);
}

TEST(GlobalFitCommand, LocalMidpointsGiveOneFoldedFractionPerTrace) {
  auto store = exampleMelt();
  ASSERT_TRUE(store);
  processing::CDataSet set = load(*store);
  GlobalFitSettings settings;
  settings.functionIndex = kUnfolding;
  settings.shared = {false, false, false, false, false, true};
  settings.locks.assign(6, 0);
  std::vector<int> selection(71, 0);
  selection[38] = selection[40] = 1;  // 222 and 220 nm
  GlobalFitSession session(set, selection, settings);
  session.Run();
  testing::ScriptedUi ui;
  ASSERT_TRUE(applyGlobalFitResults(set, *store, session.Results(), ui));
  EXPECT_THAT(std::vector<std::string>(set.traceNames.end() - 2, set.traceNames.end()),
              ElementsAre("Fraction folded::222", "Fraction folded::220"));
}

struct RefusalRow {
  const char* name;
  std::vector<int> selection;
  GlobalFitSettings settings;
  double poison;  // a value put into trace 2, or 0
  const char* message;
};

void PrintTo(const RefusalRow& row, std::ostream* out) { *out << row.name; }

GlobalFitSettings with(std::function<void(GlobalFitSettings&)> change) {
  GlobalFitSettings settings = exponentialSettings();
  change(settings);
  return settings;
}

class GlobalFitRefusal : public ::testing::TestWithParam<RefusalRow> {};

// Every refusal comes before anything is fitted or added, with a message to show.
TEST_P(GlobalFitRefusal, WithAMessageAndNothingAdded) {
  const RefusalRow& row = GetParam();
  auto store = decays(3);
  processing::CDataSet set = load(*store);
  if (row.poison != 0.0) set.yA[1].edit()[5] = static_cast<float>(row.poison);
  try {
    GlobalFitSession session(set, row.selection, row.settings);
    FAIL() << "not refused";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), row.message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GlobalFitRefusal,
    ::testing::Values(
        RefusalRow{"OneTrace", {0, 1, 0}, exponentialSettings(), 0.0, "A global fit needs at least two selected traces."},
        RefusalRow{"NotANumber", {1, 1, 1}, exponentialSettings(), std::numeric_limits<double>::quiet_NaN(),
                   "The trace 2 holds values that are not finite numbers."},
        RefusalRow{"Infinite", {1, 1, 1}, exponentialSettings(), std::numeric_limits<double>::infinity(),
                   "The trace 2 holds values that are not finite numbers."},
        RefusalRow{"NoSuchFunction", {1, 1, 1}, with([](auto& s) { s.functionIndex = 20; }), 0.0,
                   "There is no fitting function 20."},
        RefusalRow{"FlagsNotOnePerParameter", {1, 1, 1}, with([](auto& s) { s.shared = {true}; }), 0.0,
                   "A global fit needs a shared or local choice and a lock for every parameter of Single Exponential."},
        RefusalRow{"StartNotOnePerParameter", {1, 1, 1}, with([](auto& s) { s.start = {1, 2}; }), 0.0,
                   "Single Exponential needs 3 start values (c,a,k), not 2."},
        RefusalRow{"EverythingLocked", {1, 1, 1}, with([](auto& s) { s.locks = {1, 1, 1}; }), 0.0,
                   "Every parameter is locked: there is nothing to fit."},
        RefusalRow{"IterationLimit", {1, 1, 1}, with([](auto& s) { s.maxIterations = 0; }), 0.0,
                   "The iteration limit must lie between 1 and 1000."},
        RefusalRow{"SelectionOfAnotherPlot", {1, 1}, exponentialSettings(), 0.0,
                   "The selection does not match the traces of the plot."}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(GlobalFitCommand, ParameterNamesAreCheckedAgainstTheFunction) {
  const auto& unfolding = fitting::FitFunx().at(kUnfolding);
  EXPECT_THAT(parameterFlags(unfolding, "Tm,dH"), ElementsAre(false, false, false, false, true, true));
  EXPECT_THAT(parameterFlags(unfolding, ""), ElementsAre(false, false, false, false, false, false));
  const std::pair<const char*, const char*> refused[] = {
      {"Tm,Tm", "The parameter \"Tm\" is named twice."},
      {"Tm,dG", "Two-state unfolding has no parameter \"dG\" (its parameters: aF,bF,aU,bU,Tm,dH)."},
      {"Tm,", "Two-state unfolding has no parameter \"\" (its parameters: aF,bF,aU,bU,Tm,dH)."}};
  for (const auto& [list, message] : refused) {
    try {
      parameterFlags(unfolding, list);
      ADD_FAILURE() << list << " accepted";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
}

TEST(GlobalFitCommand, ResultsThatDoNotMatchThePlotChangeNothing) {
  auto store = decays(3);
  processing::CDataSet set = load(*store);
  GlobalFitSession session(set, {1, 1, 0}, exponentialSettings());
  session.Run();
  GlobalFitResults results = session.Results();
  results.traces[1] = 7;  // a trace the plot does not have
  const processing::CDataSet before = set;
  const auto marks = store->viewState.marks;
  testing::ScriptedUi ui;
  EXPECT_FALSE(applyGlobalFitResults(set, *store, results, ui));
  EXPECT_THAT(ui.texts(), ElementsAre(HasSubstr("global fit failure (There is no trace 7.)")));
  EXPECT_EQ(set.traceNames, before.traceNames);
  EXPECT_EQ(set.history.size(), before.history.size());
  EXPECT_EQ(store->viewState.marks, marks);
}

}  // namespace
}  // namespace lumatix::app
