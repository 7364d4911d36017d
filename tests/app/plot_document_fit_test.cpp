// The "Fitting..." command through the plot document: which trace it fits, the one dialog of
// the process, what an accepted fit adds and what a cancelled one leaves, and the dialog
// starting again from the trace's last fit.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "app/fit_command.h"
#include "app/fit_session.h"
#include "plot_document_fixture.h"

namespace lumatix::app {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kLinear = 0;

class ScriptedFitDialog : public FitDialog {
 public:
  std::function<bool(FitSession&)> onRun = [](FitSession& s) {
    s.Close();
    return false;
  };
  std::vector<FitDialogContext> shown;
  // What the session held when the dialog opened.
  int openedWithFunction = -2;
  std::vector<double> openedWithValues;

  bool run(FitSession& session, const FitDialogContext& context) override {
    shown.push_back(context);
    openedWithFunction = session.FunctionIndex();
    openedWithValues = session.Values();
    return onRun(session);
  }
};

// A straight line through the trace's points, fitted to its end and accepted.
bool fitLine(FitSession& s, bool residuals) {
  s.SelectFunction(kLinear);
  s.SetIncludeResiduals(residuals);
  if (!s.Estimate()) return false;
  FitProgress p = s.StartFit();
  while (p == FitProgress::Running) p = s.Iterate();
  return s.Accept();
}

struct ChoiceRow {
  const char* name;
  std::vector<int> selected;
  std::vector<float> traces;
  const char* message;        // nullptr: the dialog opens
  const char* caption;        // when it opens
};

class FitTraceChoice : public ::testing::TestWithParam<ChoiceRow> {};

TEST_P(FitTraceChoice, ExactlyOneTraceOpensTheDialog) {
  const ChoiceRow& row = GetParam();
  testing::FixedProviders providers;
  testing::ScriptedUi ui;
  auto store = testing::cdStore("CircularDichroism", row.traces);
  PlotDocument doc(store, "/data/melt.dsx", ui);
  doc.load(0, 1, 0, -1);
  for (std::size_t t = 0; t < row.selected.size(); ++t) doc.select(static_cast<int>(t), row.selected[t] == 1);
  ScriptedFitDialog dialog;
  EXPECT_FALSE(doc.fit(dialog));
  if (row.message) {
    EXPECT_THAT(ui.texts(), ElementsAre(row.message));
    EXPECT_TRUE(dialog.shown.empty());
  } else {
    EXPECT_THAT(ui.texts(), IsEmpty());
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].caption, row.caption);
    EXPECT_EQ(dialog.shown[0].fileName, "/data/melt.dsx");
    EXPECT_EQ(doc.selectedCount(), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FitTraceChoice,
    ::testing::Values(ChoiceRow{"OnlyTraceIsTakenWhenNoneSelected", {0}, {250}, nullptr, "/data/melt.dsx"},
                      ChoiceRow{"TheSelectedOne", {0, 0, 1}, {250, 260, 270}, nullptr, "/data/melt.dsx (270)"},
                      ChoiceRow{"NoneSelectedOfMany", {0, 0, 0}, {250, 260, 270}, kSelectTraceFirst, nullptr},
                      ChoiceRow{"TwoSelected", {1, 0, 1}, {250, 260, 270}, kSelectOneTraceOnly, nullptr}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(FitRunningFlag, OneFittingDialogAtATime) {
  testing::ScriptedUi ui;
  {
    auto first = FitRunningFlag::acquire(ui);
    ASSERT_TRUE(first);
    EXPECT_FALSE(FitRunningFlag::acquire(ui));
    EXPECT_THAT(ui.texts(), ElementsAre(kFitAlreadyRunning));
  }
  EXPECT_TRUE(FitRunningFlag::acquire(ui));
}

class DocumentFit : public testing::PlotDocumentTest {
 protected:
  std::vector<Change> notices;
  ChangeNotifier::Subscription subscription = doc.changes().subscribe([this](Change c) { notices.push_back(c); });
};

TEST_F(DocumentFit, RefusedWhileAnotherFittingDialogIsOpen) {
  doc.select(1, true);
  auto other = FitRunningFlag::acquire(ui);
  ScriptedFitDialog dialog;
  EXPECT_FALSE(doc.fit(dialog));
  EXPECT_TRUE(dialog.shown.empty());
  EXPECT_THAT(ui.texts(), ElementsAre(kFitAlreadyRunning));
}

TEST_F(DocumentFit, CancelledChangesNothingAndLetsTheNextDialogOpen) {
  doc.select(1, true);
  notices.clear();
  const auto history = doc.dataSet().history;
  ScriptedFitDialog dialog;
  dialog.onRun = [](FitSession& s) {
    s.SelectFunction(kLinear);
    FitProgress p = s.StartFit();
    while (p == FitProgress::Running) p = s.Iterate();
    s.Close();
    return false;
  };
  EXPECT_FALSE(doc.fit(dialog));
  EXPECT_EQ(doc.dataSet().TraceCount(), 4);
  EXPECT_EQ(doc.dataSet().history, history);
  EXPECT_TRUE(store->saved);
  EXPECT_TRUE(notices.empty());
  EXPECT_TRUE(FitRunningFlag::acquire(ui));
}

TEST_F(DocumentFit, AcceptedAppendsTheFittedAndResidualTracesWithTheFittingEntry) {
  doc.select(1, true);
  notices.clear();
  ScriptedFitDialog dialog;
  dialog.onRun = [](FitSession& s) {
    s.SetRange(205, 220);  // the residual trace holds 0 outside the range
    return fitLine(s, true);
  };
  const auto text = doc.fit(dialog);
  ASSERT_TRUE(text);
  EXPECT_THAT(ui.texts(), IsEmpty());
  const processing::CDataSet& set = doc.dataSet();
  ASSERT_EQ(set.TraceCount(), 6);
  EXPECT_EQ(set.traceNames[4], "Fit (f):0");
  EXPECT_EQ(set.traceNames[5], "Fit (r):0");
  // The line through 1000, 1001, 1002 at 200, 210, 220, evaluated at every x.
  ASSERT_EQ(set.yA[4].size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(set.yA[4][i], 1000.0 + static_cast<double>(i), 1e-9);
  EXPECT_EQ(set.yA[5][0], 0.0);
  EXPECT_THAT(doc.selection(), ElementsAre(0, 0, 0, 0, 1, 1));
  ASSERT_FALSE(set.history.empty());
  EXPECT_EQ(set.history.back().title, "Fitting");
  EXPECT_EQ(set.history.back().text, *text);
  EXPECT_EQ(store->history.back(), set.history.back());
  EXPECT_TRUE(text->starts_with("Original line : 260\r\na.x+cLinear\r\na = 0.100000 +/- ")) << *text;
  EXPECT_TRUE(text->find("Fit range from: 205.000000 to 220.000000\r\n") != std::string::npos) << *text;
  EXPECT_TRUE(text->ends_with("Fitted line : Fit (f)::0\r\nResidual : Fit (r)::0\r\n")) << *text;
  EXPECT_FALSE(store->saved);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0], Change::Data | Change::Selection | Change::History | Change::SavedState);
  EXPECT_TRUE(FitRunningFlag::acquire(ui));
}

TEST_F(DocumentFit, TheTracesLastFitIsWhereTheNextDialogStarts) {
  ScriptedFitDialog dialog;
  dialog.onRun = [](FitSession& s) { return fitLine(s, false); };
  doc.select(1, true);
  ASSERT_TRUE(doc.fit(dialog));
  EXPECT_EQ(dialog.openedWithFunction, 1);  // no earlier fit and no preferences: "Single Exponential"

  // Fitting the same trace again starts from the function and the values of its entry.
  dialog.onRun = [](FitSession& s) {
    s.Close();
    return false;
  };
  doc.deselectAll();
  doc.select(1, true);
  EXPECT_FALSE(doc.fit(dialog));
  EXPECT_EQ(dialog.openedWithFunction, kLinear);
  ASSERT_EQ(dialog.openedWithValues.size(), 2u);
  EXPECT_DOUBLE_EQ(dialog.openedWithValues[0], 0.1);
  EXPECT_DOUBLE_EQ(dialog.openedWithValues[1], 980.0);

  // Another trace has no fit of its own.
  doc.deselectAll();
  doc.select(2, true);
  EXPECT_FALSE(doc.fit(dialog));
  EXPECT_EQ(dialog.openedWithFunction, 1);
}

}  // namespace
}  // namespace lumatix::app
