#include "app/online_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "datastore/lum_binary.h"
#include "fitting/fit_funx.h"
#include "link/simulator_core.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace lumatix::app {
namespace {

using Clock = OnlineWindow::Clock;
using namespace std::chrono_literals;

datastore::DataStore shape(std::vector<int> sizes) {
  datastore::DataStore store;
  store.addProperty("Absorbance");
  const char* names[] = {"Time", "Wavelength", "Repeat", "Cell"};
  for (std::size_t k = 0; k < sizes.size(); ++k)
    store.addDimension(datastore::Dimension(names[k], std::vector<float>(static_cast<std::size_t>(sizes[k]), 1.0f)));
  return store;
}

// The link with a header received and every value set to its index.
struct Acquired {
  explicit Acquired(std::vector<int> sizes = {4, 3}) {
    info.completeHeader(instrument_link::lumBinaryXBytes(shape(sizes), true), true);
    auto store = info.store();
    std::string block;
    for (std::int32_t i = 0; i < sizes[0]; ++i) {
      const std::int32_t tuple[2] = {i, 0};
      const float value = static_cast<float>(i) + 0.5f;
      block.append(reinterpret_cast<const char*>(tuple), 4 * sizes.size());
      block.append(reinterpret_cast<const char*>(&value), 4);
    }
    info.storeDataBlock(block, static_cast<std::uint32_t>(sizes[0]));
  }
  instrument_link::CClientInfo info;
};

TEST(OnlineWindow, PlotsTheTwoLargestDimensionsTheLowerIndexWinningATie) {
  struct Row {
    std::vector<int> sizes;
    std::pair<int, int> dims;
  };
  const Row rows[] = {{{5, 9, 9}, {1, 2}}, {{7}, {0, -1}}, {{3, 3}, {0, 1}}, {{2, 8, 1, 4}, {1, 3}}};
  for (const Row& row : rows) EXPECT_EQ(largestDimensions(shape(row.sizes)), row.dims);
}

TEST(OnlineWindow, TheFirstRefreshAfterAHeaderWaitsAQuarterSecond) {
  Acquired link;
  testing::ScriptedUi ui;
  OnlineWindow window(link.info, ui, "/nowhere/a.dsx");
  const auto t0 = Clock::now();
  EXPECT_FALSE(window.refresh(t0));  // no header yet
  int notices = 0;
  auto subscription = window.changes().subscribe([&](Change) { ++notices; });
  window.headerReady();
  EXPECT_EQ(window.store().get(), link.info.store().get());
  EXPECT_EQ(window.plotDimensions(), (std::pair<int, int>{0, 1}));
  const auto h = Clock::now();  // the pause runs from the header
  EXPECT_FALSE(window.refresh(h));
  EXPECT_FALSE(window.refresh(t0 + 200ms));
  EXPECT_TRUE(window.refresh(h + 250ms));
  EXPECT_TRUE(window.refresh(h + 300ms));
  EXPECT_EQ(notices, 3);  // the header and two redraws
}

TEST(OnlineWindow, AutoScaleRescalesAtMostEveryFourSeconds) {
  Acquired link;
  testing::ScriptedUi ui;
  OnlineWindow window(link.info, ui, "");
  const auto t0 = Clock::now();
  EXPECT_FALSE(window.rescaleDue(t0));
  window.toggleAutoScale();
  EXPECT_TRUE(window.rescaleDue(t0));
  EXPECT_FALSE(window.rescaleDue(t0 + 3999ms));
  EXPECT_TRUE(window.rescaleDue(t0 + 4000ms));
  window.finished();  // off-line: the command is disabled
  const bool before = window.autoScale();
  window.toggleAutoScale();
  EXPECT_EQ(window.autoScale(), before);
}

TEST(OnlineWindow, ClosingIsRefusedWhileOnLine) {
  Acquired link;
  testing::ScriptedUi ui;
  OnlineWindow window(link.info, ui, "/nowhere/a.dsx");
  EXPECT_FALSE(window.mayClose());
  ASSERT_EQ(ui.texts(), std::vector<std::string>{"Acquistion in progress.  Please wait for the data acquisition to finish.\n"});
  window.linkLost();
  EXPECT_TRUE(window.mayClose());
}

TEST(OnlineWindow, TheEndSavesToANewPathWithoutAsking) {
  lumatix::testing::TempDir dir;
  Acquired link;
  testing::ScriptedUi ui;
  OnlineWindow window(link.info, ui, acquisitionPath(dir.path().string(), "shot.dsx"));
  window.headerReady();
  ASSERT_TRUE(window.finished());
  EXPECT_TRUE(ui.fileDialogs.empty());
  EXPECT_FALSE(window.online());
  EXPECT_EQ(window.title(), dir.file("shot.dsx"));
  datastore::DataStore back;
  ASSERT_TRUE(back.load(dir.file("shot.dsx"), false));
  ASSERT_EQ(back.data.count, 12);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(back.data.data[i], static_cast<float>(i) + 0.5f);
  EXPECT_EQ(back.data.data[4], 0.0f);
}

TEST(OnlineWindow, AnExistingFileOrNoNameAsksForOneAndCancelSavesNothing) {
  lumatix::testing::TempDir dir;
  lumatix::testing::writeFile(dir.file("taken.dsx"), "kept");
  struct Row {
    const char* label;
    std::string path;
    std::string chosen;  // "" cancels
  };
  const Row rows[] = {{"existing, cancelled", dir.file("taken.dsx"), ""},
                      {"existing, renamed", dir.file("taken.dsx"), dir.file("other.dsx")},
                      {"refused name", acquisitionPath(dir.path().string(), ""), dir.file("named.dsx")}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Acquired link;
    testing::ScriptedUi ui;
    ui.files.push_back({row.chosen, 1});
    OnlineWindow window(link.info, ui, row.path);
    window.headerReady();
    EXPECT_EQ(window.finished(), !row.chosen.empty());
    EXPECT_EQ(ui.fileDialogs, std::vector<std::string>{"Save As"});
    EXPECT_EQ(lumatix::testing::readFile(dir.file("taken.dsx")), "kept");
    if (!row.chosen.empty()) {
      EXPECT_EQ(window.title(), row.chosen);
      datastore::DataStore back;
      EXPECT_TRUE(back.load(row.chosen, false));
    }
  }
}

TEST(OnlineWindow, RecordsTheLinkSkippedAreToldAtTheEnd) {
  Acquired link;
  const std::int32_t outside[2] = {99, 0};
  const float value = 1.0f;
  std::string block(reinterpret_cast<const char*>(outside), 8);
  block.append(reinterpret_cast<const char*>(&value), 4);
  link.info.storeDataBlock(block, 1);
  testing::ScriptedUi ui;
  ui.files.push_back({"", 1});
  OnlineWindow window(link.info, ui, "");
  window.headerReady();
  EXPECT_FALSE(window.finished());
  ASSERT_FALSE(ui.texts().empty());
  EXPECT_EQ(ui.texts()[0], "1 data records lay outside the dimensions of the acquisition and were not stored.\n");
}

TEST(OnlineWindow, TheTickRedrawsOnlyWhenValuesArrived) {
  Acquired link;
  testing::ScriptedUi ui;
  OnlineWindow window(link.info, ui, "");
  const auto t0 = Clock::now();
  EXPECT_FALSE(window.tick(t0));  // no header yet
  window.headerReady();
  EXPECT_FALSE(window.tick(Clock::now()));  // the first refresh's pause
  EXPECT_TRUE(window.tick(t0 + 300ms));
  EXPECT_FALSE(window.tick(t0 + 800ms));  // nothing new: an idle acquisition draws nothing
  const std::int32_t tuple[2] = {1, 2};
  const float value = 7.0f;
  std::string block(reinterpret_cast<const char*>(tuple), 8);
  block.append(reinterpret_cast<const char*>(&value), 4);
  link.info.storeDataBlock(block, 1);
  EXPECT_TRUE(window.tick(t0 + 1300ms));
  EXPECT_FALSE(window.tick(t0 + 1800ms));
  window.linkLost();
  link.info.storeDataBlock(block, 1);
  EXPECT_FALSE(window.tick(t0 + 2300ms));
}

// A shot a*exp(-k t) + c on 60 points of which the first `received` have arrived.
struct Shot {
  static constexpr double a = 0.8, k = 3.0, c = 0.1;
  explicit Shot(int received) {
    datastore::DataStore played;
    played.addProperty("Absorbance");
    std::vector<float> t(60);
    for (std::size_t i = 0; i < t.size(); ++i) t[i] = 0.025f * static_cast<float>(i);
    played.addDimension(datastore::Dimension("Time", t));
    info.completeHeader(instrument_link::lumBinaryXBytes(played, true), true);
    std::string block;
    for (std::int32_t i = 0; i < received; ++i) {
      const float value = static_cast<float>(a * std::exp(-k * t[static_cast<std::size_t>(i)]) + c);
      block.append(reinterpret_cast<const char*>(&i), 4);
      block.append(reinterpret_cast<const char*>(&value), 4);
    }
    info.storeDataBlock(block, static_cast<std::uint32_t>(received));
  }
  instrument_link::CClientInfo info;
};

int singleExponential() {
  const auto& table = fitting::FitFunx();
  for (std::size_t f = 0; f < table.size(); ++f)
    if (table[f].name == "Single Exponential") return static_cast<int>(f);
  return -1;
}

TEST(OnlineWindow, TheLiveFitFollowsTheReceivedPointsAndEndsAsAFittingEntry) {
  lumatix::testing::TempDir dir;
  Shot shot(40);
  testing::ScriptedUi ui;
  OnlineWindow window(shot.info, ui, acquisitionPath(dir.path().string(), "shot.dsx"));
  window.headerReady();
  window.startLiveFit({singleExponential(), 0});
  const LiveFit* fit = window.liveFit();
  ASSERT_NE(fit, nullptr);
  // Only what arrived is fitted: the 20 points still at zero would pull the fit down.
  EXPECT_EQ(fit->pointsUsed(), 40u);
  ASSERT_TRUE(fit->hasResult());
  EXPECT_NEAR(fit->results().values[2], Shot::k, 1e-3);  // c, a, k
  ASSERT_EQ(fit->curveX().size(), 40u);
  EXPECT_NEAR(fit->curveY().front(), Shot::a + Shot::c, 1e-4);

  EXPECT_TRUE(window.finished());
  ASSERT_TRUE(window.fitEntry().has_value());
  EXPECT_NE(window.fitEntry()->find("Single Exponential"), std::string::npos);
  datastore::DataStore back;
  ASSERT_TRUE(back.load(dir.file("shot.dsx"), false));
  ASSERT_FALSE(back.history.empty());
  EXPECT_EQ(back.history.back().title, "Fitting");
  EXPECT_EQ(back.history.back().text, *window.fitEntry());
  EXPECT_TRUE(ui.shown.empty());  // the fit never speaks up
}

TEST(OnlineWindow, ALiveFitWithoutEnoughPointsWaitsAndAnUnknownFunctionIsRefused) {
  Shot shot(1);
  testing::ScriptedUi ui;
  OnlineWindow window(shot.info, ui, "");
  window.headerReady();
  EXPECT_THROW(window.startLiveFit({9999, 0}), std::out_of_range);
  window.startLiveFit({singleExponential(), 0});
  EXPECT_FALSE(window.liveFit()->hasResult());
  EXPECT_EQ(window.liveFit()->state(), "1 point received: waiting for more.");
  window.startLiveFit({singleExponential(), 3});  // the acquisition has one trace
  EXPECT_EQ(window.liveFit()->state(), "The acquisition has no trace 4.");
  window.stopLiveFit();
  EXPECT_EQ(window.liveFit(), nullptr);
  EXPECT_TRUE(ui.shown.empty());
}

TEST(OnlineWindow, LinkLostTextNamesTheAddress) {
  EXPECT_EQ(linkLostText("10.0.0.7:50491"),
            "Sorry.\n\nThe Lumatix Viewer application lost its link to the Control Panel\n at IP Address "
            "10.0.0.7:50491.\n\n Please make sure Morvath Control Panel is up and running and the IP Address is "
            "correct,\n and then try to connect again.\n\nTry to reconnect?");
  EXPECT_EQ(acquisitionPath("/data", "a.dsx"), "/data/a.dsx");
  EXPECT_EQ(acquisitionPath("/data", ""), "");
}

}  // namespace
}  // namespace lumatix::app
