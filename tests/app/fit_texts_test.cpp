#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app/fit_texts.h"

namespace lumatix::app {
namespace {

using ::testing::ElementsAre;

FitResults exponentialResults() {
  FitResults r;
  r.functionIndex = 1;  // Single Exponential: c, a, k
  r.values = {0.25, -0.18, 12.5};
  r.errors = {9.1e-05, 0.000119, 0.026};
  r.locks = {0, 0, 0};
  r.from = 0.001f;
  r.to = 2.0f;
  r.normalisedVariance = 2.25494e-06;
  r.reducedChiSquare = 1.0;
  r.signalNoise = 0.00150164;
  return r;
}

TEST(FitTexts, HistoryEntryLines) {
  EXPECT_EQ(fittingHistoryText(exponentialResults(), "250", "Fit (f)::0", std::nullopt),
            "Original line : 250\r\n"
            "a.exp(-kx)+cSingle Exponential\r\n"
            "c = 0.250000 +/- 0.000091\r\n"
            "a = -0.180000 +/- 0.000119\r\n"
            "k = 12.500000 +/- 0.026000\r\n"
            "Fit range from: 0.001000 to 2.000000\r\n"
            "Normalised variance = 2.25494e-06\r\n"
            "Reduced chi-squared = 1.000000\r\n"
            "Signal noise = 0.00150164\r\n"
            "Fitted line : Fit (f)::0\r\n");
  const std::string withResidual = fittingHistoryText(exponentialResults(), "250", "Fit (f)::0", "Fit (r)::3");
  EXPECT_TRUE(withResidual.ends_with("Fitted line : Fit (f)::0\r\nResidual : Fit (r)::3\r\n")) << withResidual;
}

TEST(FitTexts, ReportLines) {
  EXPECT_THAT(fitReportLines(exponentialResults(), "/data/run 7.dsx"),
              ElementsAre("File : /data/run 7.dsx", "Equation: a.exp(-kx)+c", "Function: Single Exponential",
                          "Fit range: 0.001000 to 2.000000.", "Parameters : ",
                          "        c = 0.250000 +/- 0.000091", "        a = -0.180000 +/- 0.000119",
                          "        k = 12.500000 +/- 0.026000", "Normalised variance : 2.25494e-06.",
                          "Estimated noise : 0.00150164."));
}

TEST(FitTexts, ReportReadsBackAsAnEarlierFit) {
  const auto earlier = parseEarlierFit(fitReportLines(exponentialResults(), "a.dsx"));
  ASSERT_TRUE(earlier);
  EXPECT_EQ(earlier->functionIndex, 1);
  EXPECT_THAT(earlier->values, ElementsAre(0.25, -0.18, 12.5));
}

struct EarlierRow {
  const char* name;
  std::vector<std::string> entries;
  int function;  // -1: no match
  std::vector<double> values;
};

class EarlierFitText : public ::testing::TestWithParam<EarlierRow> {};

// function -1: no earlier fit is found.
void expectEarlierFit(const std::optional<EarlierFit>& earlier, int function, const std::vector<double>& values) {
  if (function < 0) {
    EXPECT_FALSE(earlier);
    return;
  }
  ASSERT_TRUE(earlier);
  EXPECT_EQ(earlier->functionIndex, function);
  EXPECT_EQ(earlier->values, values);
}

TEST_P(EarlierFitText, MatchesTheNameAfterTheFirstColon) {
  const EarlierRow& row = GetParam();
  expectEarlierFit(parseEarlierFit(row.entries), row.function, row.values);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EarlierFitText,
    ::testing::Values(
        EarlierRow{"NoColonNoMatch", {"Linear", "a = 1 / 0"}, -1, {}},
        EarlierRow{"UnknownName", {"Function: Quintuple Exponential"}, -1, {}},
        EarlierRow{"OnlyTheFirstColonCounts", {"x: Fit: Linear"}, -1, {}},
        EarlierRow{"BlanksAroundTheName", {"Function:\tLinear \r\n", "a=3/1", "c = -2.5e1 +/- 4"}, 0, {3, -25}},
        EarlierRow{"ValuesBeforeTheNameDoNotCount", {"a = 9 +/- 1", "Function: Linear", "c = 4"}, 0, {0, 4}},
        EarlierRow{"TextThatIsNoNumberReadsAsZero", {"Function: Linear", "a = abc / 1", "c = 2x / 1"}, 0, {0, 2}},
        EarlierRow{"FirstMatchingEntryWins", {"Function: Linear", "Function: Hyperbolic"}, 0, {0, 0}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(FitTexts, NumbersAreWrittenAsPrintfWritesThem) {
  for (double v : {0.0, -0.0, 1.0, -0.18, 12.5, 1e-7, 2.25494e-06, 123456789.0, 1e300, -3.5e-300, 0.1 + 0.2}) {
    char f[400], g[64], g7[64];
    std::snprintf(f, sizeof f, "%f", v);
    std::snprintf(g, sizeof g, "%g", v);
    std::snprintf(g7, sizeof g7, "%.7g", v);
    EXPECT_EQ(fixedText(v), f);
    EXPECT_EQ(generalText(v), g);
    EXPECT_EQ(generalText(v, 7), g7);
  }
}

TEST(FitTexts, TextsAreReadAsAtofReadsThem) {
  for (const char* text : {"2.5", "  -1.25xyz", "+4", "1e3", "1e", "abc", "", "--1", "1e999", "-1e999",
                           "1e-999", "inf", "-nan", ".5", "5."}) {
    const double expected = std::atof(text);
    const double got = atofText(text);
    if (std::isnan(expected)) {
      EXPECT_TRUE(std::isnan(got)) << text;
    } else {
      EXPECT_EQ(got, expected) << text;
    }
  }
}

// ---- the trace's last fit, read back from the history ----

datastore::HistoryEntry entry(const std::string& title, const std::string& text) {
  datastore::HistoryEntry e;
  e.title = title;
  e.text = text;
  return e;
}

std::string fitOf(int function, std::vector<double> values, const std::string& trace) {
  FitResults r;
  r.functionIndex = function;
  r.values = std::move(values);
  r.errors.assign(r.values.size(), 0.5);
  return fittingHistoryText(r, trace, "Fit (f)::0", std::nullopt);
}

struct HistoryRow {
  const char* name;
  std::vector<datastore::HistoryEntry> history;
  int function;  // -1: no earlier fit
  std::vector<double> values;
};

class EarlierFitInHistory : public ::testing::TestWithParam<HistoryRow> {};

TEST_P(EarlierFitInHistory, TheTracesLatestFittingEntryReadsBack) {
  const HistoryRow& row = GetParam();
  expectEarlierFit(parseEarlierFit(earlierFitEntries(row.history, "250")), row.function, row.values);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EarlierFitInHistory,
    ::testing::Values(
        HistoryRow{"NoHistory", {}, -1, {}},
        HistoryRow{"LatestOfTheTraceWins",
                   {entry("Fitting", fitOf(0, {2, 1}, "250")), entry("Fitting", fitOf(1, {0.25, -0.5, 12.5}, "250")),
                    entry("Fitting", fitOf(0, {7, 7}, "260"))},
                   1, {0.25, -0.5, 12.5}},
        HistoryRow{"AnotherTracesFitOnly", {entry("Fitting", fitOf(0, {2, 1}, "2500"))}, -1, {}},
        HistoryRow{"OnlyFittingEntriesCount", {entry("Baseline Set", fitOf(0, {2, 1}, "250"))}, -1, {}},
        // "2 Gaussians" has no equation to show: its line is "--2 Gaussians".
        HistoryRow{"FunctionWithoutEquation",
                   {entry("Fitting", fitOf(12, {1, 2, 3, 4, 5, 6, 7}, "250"))}, 12, {1, 2, 3, 4, 5, 6, 7}},
        HistoryRow{"SameEquationOtherName", {entry("Fitting", fitOf(11, {1, 2, 3, 4}, "250"))}, 11, {1, 2, 3, 4}}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace lumatix::app
