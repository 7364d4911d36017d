#pragma once
// PlotDocument: the document behind one plot of a plot window. It shares the window's
// DataStore, owns the CDataSet the plot shows with its selection and baseline, and runs the
// plot's trace commands: each checks its precondition (telling the person through the Ui
// and changing nothing when it fails), runs the operation, appends the result, records the
// history entries and clears the store's saved flag.
//
// Selection: a trace counts as selected when its selected flag is set and it is present
// (neither hidden nor the baseline). The baseline may carry the flag; it never takes part in
// an operation.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "datastore/data_store.h"
#include "datastore/smart_ptr.h"
#include "processing/data_set.h"
#include "processing/sg_filter.h"

namespace lumatix::app {

class Ui;
class PlotDialogs;

enum class PlotCommand {
  SaveCurrentPlot,
  SaveSelectedTraces,
  RemoveSelected,
  RemoveUnselected,
  DeselectAll,
  ToggleBaseline,
  UnsetBaseline,
  AddBaseline,
  SubtractBaseline,
  Fitting,
  Average,
  AverageAll,
  SimpleMath,
  Smooth,
  Convert,
};

// Where the new file of a unit conversion goes. The viewer writes it as LumBinaryX and opens
// it in a new plot window; the command line writes it where it was told to.
class ConvertedFileHandler {
 public:
  virtual ~ConvertedFileHandler() = default;
  // Writes the converted store (suggestedPath: a ".dsx" name beside the source file that
  // does not exist yet) and shows it. False, or an exception, when that failed.
  virtual bool saveAndOpen(datastore::smart_ptr<datastore::DataStore> store, const std::string& suggestedPath) = 0;
};

// The contact at the end of the conversion's save-error message.
inline constexpr const char* kSupportContact = "the address given in the user manual.";

class PlotDocument {
 public:
  // The document of a plot of store, read from filePath (empty for a window without a file).
  // compliantNow is the machine's 21 CFR Part 11 mode, which new files are derived under.
  PlotDocument(datastore::smart_ptr<datastore::DataStore> store, std::string filePath, Ui& ui,
               bool compliantNow = false);

  // Cuts the store into the data set the plot shows (CDataSet::Load); throws its messages.
  void load(int xDim, int traceDim, int valueIndex, int optionIndex);
  // Shows a data set cut out of the store by the caller.
  void setDataSet(processing::CDataSet set);

  const processing::CDataSet& dataSet() const { return set_; }
  const datastore::smart_ptr<datastore::DataStore>& store() const { return store_; }
  const std::string& filePath() const { return filePath_; }

  // --- selection ---
  // Selects or deselects trace t (0-based, data-set order); false for a trace that is not there.
  bool select(int t, bool on);
  void selectAll();
  void deselectAll();
  int selectedCount() const;
  // One entry per trace: 1 for the selected traces as defined above.
  std::vector<int> selection() const;
  int presentCount() const;
  bool hasBaseline() const { return set_.baselineIndex >= 0; }
  bool isEnabled(PlotCommand command) const;

  // The x range the plot shows; the save commands write only points inside it.
  void setShownXRange(double low, double high) { shownX_ = std::make_pair(std::min(low, high), std::max(low, high)); }
  void showWholeXRange() { shownX_.reset(); }

  // --- commands: true when done; false when refused or cancelled (the person was told) ---
  // "Toggle Selected as Baseline": the one selected trace becomes the baseline (any other
  // baseline is unset first); with none or several selected, a set baseline is unset.
  bool toggleBaseline();
  bool setBaseline(int t);
  bool unsetBaseline();
  bool removeSelected();
  bool removeUnselected();
  bool addBaseline();
  bool subtractBaseline();
  bool average();
  bool averageAll();
  bool simpleMath(PlotDialogs& dialogs);
  bool smooth(PlotDialogs& dialogs);
  // Converts the selected traces into a new file; the plot itself does not change.
  bool convertUnits(PlotDialogs& dialogs, ConvertedFileHandler& target);
  bool saveCurrentPlot();
  bool saveSelectedTraces();

  // Whether files derived from this plot count as modified data: after any change to the
  // data set, or when the window's own file already held processed data.
  bool derivesModified() const;

  // The name the conversion's new file is offered under: the source file's name with the
  // target unit key, ".dsx", in the same folder, numbered so that no file is overwritten.
  std::string convertedFileName(const std::string& targetKey) const;

 private:
  void inform(const std::string& text) const;
  // After a change of the data set: the store keeps its history and is no longer saved.
  void changed();
  bool appendResult(const processing::CDataSet& result);
  bool baselineOperation(bool subtract);
  bool removeTraces(bool selectedOnes);
  bool saveTraces(bool selectedOnly);
  bool ensureSelectionForMath();

  datastore::smart_ptr<datastore::DataStore> store_;
  std::string filePath_;
  Ui& ui_;
  bool compliantNow_;
  processing::CDataSet set_;
  processing::CSGFilter filter_{3, 2};
  int smoothingValue_ = 1;
  int saveFormatIndex_ = 1;
  std::optional<std::pair<double, double>> shownX_;
};

}  // namespace lumatix::app
