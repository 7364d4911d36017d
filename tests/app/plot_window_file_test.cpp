#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "plot_document_fixture.h"
#include "support/temp_dir.h"

namespace lumatix::app {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::PlotDocumentTest;

// Remembers the name each save dialog offered.
class OfferingUi : public testing::ScriptedUi {
 public:
  std::vector<std::string> offered;
  std::optional<FileChoice> chooseSaveFile(const std::string& title, const std::string& suggestedName,
                                           const std::vector<FileFilter>& filters, int index) override {
    offered.push_back(suggestedName);
    return ScriptedUi::chooseSaveFile(title, suggestedName, filters, index);
  }
};

class PlotWindowFile : public ::testing::Test {
 protected:
  // A document of a four-trace store whose file is path; the store is unsaved when changed.
  std::unique_ptr<PlotDocument> document(const std::string& path, bool changed) {
    store = testing::cdStore();
    store->saved = !changed;
    auto d = std::make_unique<PlotDocument>(store, path, ui);
    d->load(0, 1, 0, -1);
    return d;
  }
  bool readable(const std::string& path) {
    datastore::DataStore back;
    return back.load(path, false) && back.dimensions.size() == 2;
  }

  testing::FixedProviders providers;
  OfferingUi ui;
  testing::TempDir dir;
  datastore::smart_ptr<datastore::DataStore> store;
};

// --- opening ---

TEST_F(PlotWindowFile, OpensWhatSaveAllWrote) {
  auto d = document("/data/melt.dsx", false);
  ui.files.push_back({dir.file("copy.dsx"), 1});
  ASSERT_TRUE(d->saveAll());
  const auto opened = openPlotStore(dir.file("copy.dsx"), false, ui);
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->dimensions.size(), 2);
  EXPECT_TRUE(opened->saved);
  EXPECT_EQ(ui.shown.size(), 0u);
}

TEST_F(PlotWindowFile, AFileThatCannotBeReadIsRefusedWithItsPathAndWhy) {
  testing::writeFile(dir.file("broken.dsx"), "not a measurement file at all\n\x01\x02");
  testing::writeFile(dir.file("short.txt"), "ASCII\n2\n1 2\n3 x\n");
  const std::pair<std::string, std::string> files[] = {
      {dir.file("missing.dsx"), "The file cannot be opened for reading: No such file or directory."},
      {dir.file("broken.dsx"),
       "It holds binary data of no format the viewer reads (its first bytes are \"not a measurement file a...\")."},
      {dir.file("short.txt"), "ASCII file: line 4: point 2 of 2: found \"x\" where a number was expected."}};
  for (const auto& [path, why] : files) {
    SCOPED_TRACE(path);
    ui.shown.clear();
    EXPECT_FALSE(openPlotStore(path, true, ui));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Sorry!\n\nCan't open the file\n\n" + path +
                                    "\n\nfor reading.  Please check file permissions.\n\n" + why);
  }
}

TEST_F(PlotWindowFile, AWindowWithoutAFileIsEmptyAndClosesWithoutAQuestion) {
  EXPECT_EQ(plotWindowTitle(""), "Empty");
  EXPECT_EQ(plotWindowTitle("/data/melt.dsx"), "/data/melt.dsx");
  PlotDocument d(emptyPlotStore(), "", ui);
  EXPECT_EQ(d.store()->dimensions.size(), 0);
  EXPECT_FALSE(d.isEnabled(PlotCommand::SaveAll));
  EXPECT_TRUE(document("/data/melt.dsx", false)->isEnabled(PlotCommand::SaveAll));
  EXPECT_TRUE(d.close());
  EXPECT_THAT(ui.shown, IsEmpty());
}

// --- reset ---

using Reset = PlotDocumentTest;

TEST_F(Reset, BringsBackTheLoadedTracesAndKeepsTheHistory) {
  doc.select(0, true);
  doc.select(1, true);
  ASSERT_TRUE(doc.average());
  doc.select(3, true);
  ASSERT_TRUE(doc.removeSelected());
  doc.select(2, true);
  ASSERT_TRUE(doc.toggleBaseline());
  store->saved = true;

  doc.reset();
  EXPECT_EQ(doc.dataSet().TraceCount(), 4);
  EXPECT_THAT(doc.dataSet().traceState, ElementsAre(1, 1, 1, 1));
  EXPECT_FALSE(doc.hasBaseline());
  EXPECT_EQ(doc.selectedCount(), 0);
  EXPECT_THAT(titles(), ::testing::IsSupersetOf({"Traces Removed :", "Baseline Set"}));
  EXPECT_EQ(lastEntry().title, "Plot reset :");
  EXPECT_EQ(lastEntry().text, "The plot view was reset. All previous modifications undone.");
  EXPECT_EQ(store->history, doc.dataSet().history);
  EXPECT_FALSE(store->saved);
}

// --- Save All ---

TEST_F(PlotWindowFile, SaveAllWritesTheWholeStoreWithItsEntry) {
  auto d = document("/data/melt.dsx", true);
  d->select(0, true);
  ASSERT_TRUE(d->removeSelected());
  ui.files.push_back({dir.file("all.dsx"), 1});
  ASSERT_TRUE(d->saveAll());
  EXPECT_THAT(ui.offered, ElementsAre("Copy of melt.dsx"));
  EXPECT_TRUE(store->saved);
  const auto& entry = d->dataSet().history.back();
  EXPECT_EQ(entry.title, "Saved data :");
  EXPECT_EQ(entry.text,
            "Original file : /data/melt.dsx.\r\nThe data was saved to file : " + dir.file("all.dsx") + ".\r\n");
  datastore::DataStore back;
  ASSERT_TRUE(back.load(dir.file("all.dsx"), false));
  ASSERT_FALSE(back.history.empty());
  EXPECT_EQ(back.history.back().title, "Saved data :");
  EXPECT_EQ(back.history.size(), d->dataSet().history.size());
}

TEST_F(PlotWindowFile, SaveAllFailuresWriteNothingAndLeaveNoEntry) {
  struct Row {
    const char* name;
    std::string path;
    std::string reason;
  };
  const std::vector<Row> rows{
      {"text name", dir.file("all.txt"), "Error! Can only save complete DataStore in LumBinaryX (.dsx) file format.\n"},
      {"missing folder", dir.file("nowhere/all.dsx"),
       "Error! Can't open " + dir.file("nowhere/all.dsx") + " for writing."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto d = document("/data/melt.dsx", true);
    const auto before = d->dataSet().history.size();
    ui.shown.clear();
    ui.files.push_back({row.path, 1});
    EXPECT_FALSE(d->saveAll());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Sorry. An error occurred while trying to save the data in the chosen format.\n\n" +
                                    row.reason + "\n\nThe file was not saved.");
    EXPECT_FALSE(std::filesystem::exists(row.path));
    EXPECT_EQ(d->dataSet().history.size(), before);
    EXPECT_EQ(store->history.size(), before);
    EXPECT_FALSE(store->saved);
  }
  EXPECT_THAT(std::vector<std::filesystem::path>(std::filesystem::directory_iterator(dir.path()), {}), IsEmpty());
}

TEST_F(PlotWindowFile, SaveAllCancelledDoesNothing) {
  auto d = document("/data/melt.dsx", true);
  ui.files.push_back({"", 1});
  EXPECT_FALSE(d->saveAll());
  EXPECT_THAT(ui.shown, IsEmpty());
  EXPECT_FALSE(store->saved);
}

// --- closing ---

TEST_F(PlotWindowFile, AnOnLineWindowRefusesToClose) {
  auto d = document(dir.file("run.dsx"), true);
  d->setOnline(true);
  EXPECT_FALSE(d->close());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Acquistion in progress.  Please wait for the data acquisition to finish.\n");
  EXPECT_EQ(ui.shown[0].icon, Icon::Warning);
}

TEST_F(PlotWindowFile, SavedWindowClosesWithoutAQuestion) {
  auto d = document(dir.file("run.dsx"), false);
  EXPECT_TRUE(d->close());
  EXPECT_THAT(ui.shown, IsEmpty());
}

TEST_F(PlotWindowFile, UnsavedQuestionAndItsSavePath) {
  struct Row {
    const char* name;
    bool fileExists;
    Answer answer;
    std::vector<std::string> dialogs;  // what the save dialog hands out, "" for Cancel
    bool closes;
    std::string written;  // the file that must hold the store afterwards, "" for none
  };
  const std::string own = dir.file("melt.dsx");
  const std::string other = dir.file("other.dsx");
  const std::vector<Row> rows{
      {"No closes without saving", false, Answer::No, {}, true, ""},
      {"Yes saves to a path not yet taken", false, Answer::Yes, {}, true, own},
      {"Yes asks for a name when the path is taken", true, Answer::Yes, {other}, true, other},
      {"Cancelling the name closes without saving", true, Answer::Yes, {""}, true, ""},
      {"A failed save keeps the window", true, Answer::Yes, {dir.file("nowhere/x.dsx")}, false, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(own);
    std::filesystem::remove(other);
    if (row.fileExists) testing::writeFile(own, "old");
    auto d = document(own, true);
    ui.shown.clear();
    ui.fileDialogs.clear();
    ui.answers.push_back(row.answer);
    for (const auto& f : row.dialogs) ui.files.push_back({f, 1});

    EXPECT_EQ(d->close(), row.closes);
    ASSERT_GE(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Data is not saved.  Would you like to save it now?\n");
    EXPECT_EQ(ui.shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(ui.fileDialogs.size(), row.dialogs.size());
    EXPECT_THAT(ui.files, IsEmpty());
    if (!row.written.empty()) {
      EXPECT_TRUE(readable(row.written));
      EXPECT_TRUE(store->saved);
    } else {
      EXPECT_FALSE(store->saved);
    }
    if (row.fileExists) {
      EXPECT_EQ(testing::readFile(own), "old") << "the existing file is never overwritten";
    }
    if (!row.closes) {
      EXPECT_EQ(ui.shown.size(), 2u) << "the failure is shown";
    }
  }
}

TEST_F(PlotWindowFile, YesWithNoDataSaysSo) {
  PlotDocument d(emptyPlotStore(), "", ui);
  d.store()->saved = false;
  ui.answers.push_back(Answer::Yes);
  EXPECT_TRUE(d.close());
  EXPECT_THAT(ui.texts(), ElementsAre("Data is not saved.  Would you like to save it now?\n",
                                      "Sorry!\n\nThere is no data to save.\n"));
}

}  // namespace
}  // namespace lumatix::app
