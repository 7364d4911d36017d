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
//
// The windows of the plot observe changes(): Data (traces, overlays, the store), Selection,
// History, SavedState and View (the view options below).

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/change_notifier.h"
#include "datastore/data_store.h"
#include "datastore/smart_ptr.h"
#include "processing/data_set.h"
#include "processing/sg_filter.h"

namespace lumatix::platform {
class SettingsStore;
}

namespace lumatix::app {

class Ui;
class PlotDialogs;
class FitDialog;

// The title of a plot window: its file's path, or "Empty" for a window opened without a file.
std::string plotWindowTitle(const std::string& filePath);

// Reads a file into the store of a new plot window (Cary text files only with allowCaryFiles).
// When the file cannot be read, tells the person "Sorry!\n\nCan't open the file\n\n<path>\n\n
// for reading.  Please check file permissions." and returns null.
datastore::smart_ptr<datastore::DataStore> openPlotStore(const std::string& path, bool allowCaryFiles, Ui& ui);

// The store of a window opened without a file: empty, and with nothing to save.
datastore::smart_ptr<datastore::DataStore> emptyPlotStore();

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
  SaveAll,
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

// A trace dropped onto the plot from another file: drawn, never edited.
struct OverlaidTrace {
  std::string file;  // the path of the file it came from
  std::string name;  // the trace's name in that file
  std::vector<double> x;
  std::vector<double> y;
};

// The most overlaid traces one plot holds.
inline constexpr std::size_t kMaxOverlaidTraces = 40;

// The contact at the end of the conversion's save-error message.
inline constexpr const char* kSupportContact = "the address given in the user manual.";

// How the plot is shown; the view's menu items toggle these.
struct PlotViewOptions {
  bool legend = false;
  bool grid = false;
  bool logX = false;
  // "Show Trace Name": the highlighted trace's name and the point read-out.
  bool showTraceName = false;
  // "Aux Dimension Ctrl": the control for the further dimensions.
  bool auxControl = true;
  // "On-line Auto-scale": an on-line plot follows the data's range at each refresh.
  bool onlineAutoscale = true;
  friend bool operator==(const PlotViewOptions&, const PlotViewOptions&) = default;
};

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
  // Reset: brings the data set back as it was loaded; the history keeps every entry made since
  // and gains "Plot reset :".
  void reset();

  const processing::CDataSet& dataSet() const { return set_; }
  ChangeNotifier& changes() { return changes_; }

  const PlotViewOptions& viewOptions() const { return view_; }
  void setViewOptions(const PlotViewOptions& options);
  const datastore::smart_ptr<datastore::DataStore>& store() const { return store_; }
  // The store's dimensions along which the plot runs: x, and traces (-1 for a single trace);
  // x is -1 while the plot shows nothing.
  struct Axes {
    int x = -1;
    int traces = -1;
  };
  Axes axes() const;
  // The store's dimensions other than the plot's x and trace dimensions, in store order: the
  // ones the plot holds at an index (the store's current index).
  std::vector<int> furtherDimensions() const;
  // The control for the further dimensions: holds one of them at another index and cuts the
  // traces again from the store, as they were loaded. The plot's own changes to its traces
  // go, as with Reset; the history keeps every entry. False (the person told why) when the
  // store cannot be cut so, and for a dimension that is not a further one.
  bool showFurtherIndex(int dimension, int index);
  const std::string& filePath() const { return filePath_; }
  // The machine's 21 CFR Part 11 mode the document was made under.
  bool compliant() const { return compliantNow_; }

  // "New Window...": another plot of the same store, shown as this one was loaded. Both
  // plots write their history entries into the one store without losing each other's.
  std::unique_ptr<PlotDocument> newWindow() const;

  // --- selection ---
  // Selects or deselects trace t (0-based, data-set order); false for a trace that is not there.
  bool select(int t, bool on);
  void selectAll();
  void deselectAll();
  int selectedCount() const;
  // Whether trace t is selected as defined above; false for a trace that is not there.
  bool isSelected(int t) const;
  // One entry per trace: 1 for the selected traces as defined above.
  std::vector<int> selection() const;
  int presentCount() const;
  bool hasBaseline() const { return set_.baselineIndex >= 0; }
  bool isEnabled(PlotCommand command) const;

  // The x range the plot shows; the save commands write only points inside it.
  // The format the save dialog of the save commands offers first (filter index, from 1).
  void setSaveFormatIndex(int filterIndex) { saveFormatIndex_ = filterIndex; }
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
  // "Fitting...": the one selected trace (with none selected and one trace present, that one)
  // in the fitting dialog, one dialog in the process at a time. The dialog starts from the
  // trace's last "Fitting" entry, else from the preferences (none when null). Accepted, the
  // fitted trace (and the residual trace when asked for) is appended and selected in place of
  // the source, with the "Fitting" entry. Returns that entry's text; nullopt when refused,
  // cancelled or failed (the person was told).
  std::optional<std::string> fit(FitDialog& dialog, platform::SettingsStore* preferences = nullptr);
  bool saveCurrentPlot();
  bool saveSelectedTraces();
  // "Save All": the whole store, as LumBinaryX only, under a name the person chooses
  // ("Copy of " + the file's name is offered). The "Saved data :" entry is kept only when
  // the file was written.
  bool saveAll();

  // Set while the window receives an acquisition; such a window refuses to close.
  void setOnline(bool online) {
    if (online == online_) return;
    online_ = online;
    changes_.notify(Change::Options);  // the on-line commands are enabled or no longer
  }
  // An on-line window shows the link's store, which a header replaces (null is refused).
  void replaceStore(datastore::smart_ptr<datastore::DataStore> store);
  bool online() const { return online_; }
  // Whether the window may close now: refuses while on-line, and for an unsaved store asks
  // whether to save it first. A save that fails keeps the window open, so nothing is lost.
  bool close();

  // --- the trace selection dialog and the visible trace range ---
  // Shows the hidden traces among traces (0-based) again, unselected; "Traces Added :" lists
  // them. False when none of them was hidden.
  bool restoreTraces(const std::vector<int>& traces);
  // Hides the present traces among traces, as Remove Selected does, with its "Traces
  // Removed :" entry; the baseline stays. False when none of them was shown.
  bool hideTraces(const std::vector<int>& traces);
  // "Visible Trace Range": with traces numbered from 1, shows exactly those n with
  // start <= n <= end and (n - start) a multiple of step, and lists every trace it hides in
  // the "Trace Removed :" entry. A baseline outside the range is unset first. False, changing
  // nothing, unless start, end and step are all at least 1.
  bool showTraceRange(int start, int end, int step);

  // --- overlay by drag and drop ---
  // Reads the dropped files one by one and overlays their visible traces, cut along the
  // plot's axes. A file lacking the plot's property is refused; one with other dimensions is
  // overlaid only when the person agrees; at the limit the person is told once and the rest
  // is left out. Each overlaid file writes "Plot overlayed : ". Returns the files overlaid.
  int overlayFiles(const std::vector<std::string>& paths, bool allowCaryFiles);
  // One store's traces (a dropped file's, or traces dragged from another plot), checked and
  // overlaid as overlayFiles does with each file; path names it in the entry and the
  // messages. Full: the plot already holds the most overlaid traces; the caller tells the
  // person once (tellOverlayFull).
  enum class Overlay { Overlaid, OverlaidAndFull, LeftOut, Full };
  Overlay overlayStore(const datastore::DataStore& dropped, const std::string& path);
  void tellOverlayFull() const;
  const std::vector<OverlaidTrace>& overlaidTraces() const { return overlaid_; }
  // "Remove Overlaid Traces".
  void removeOverlaidTraces() {
    overlaid_.clear();
    changes_.notify(Change::Data);
  }

  // --- printing and the store's texts ---
  // Records the "Printed :" entry after the plot went to the printer.
  void printed();
  // The "DataStore Info..." text, the store's attribute listing; while an acquisition runs
  // the person is asked to wait and nullopt is returned.
  std::optional<std::string> infoText() const;
  // The remarks, one per line, and the history, entry after entry, as the dialogs show them.
  std::string remarksText() const;
  std::string historyText() const;

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
  // Hands the entries this plot made since it last did so to the store, then takes over the
  // store's history, which other plots of the store may have added to.
  void syncHistory();
  bool appendResult(const processing::CDataSet& result);
  // Every change to the data set other than its selection and history calls this first.
  void keepLoaded();
  // Forgets the copy: the data set as it is now counts as loaded.
  void loadedNow();
  processing::CDataSet asLoaded() const;
  bool baselineOperation(bool subtract);
  bool removeTraces(bool selectedOnes);
  bool saveTraces(bool selectedOnly);
  bool ensureSelectionForMath();
  // Writes the whole store as LumBinaryX to path, atomically; throws the user text.
  void writeWholeStore(const std::string& path);

  datastore::smart_ptr<datastore::DataStore> store_;
  std::string filePath_;
  Ui& ui_;
  bool compliantNow_;
  processing::CDataSet set_;
  processing::CSGFilter filter_{3, 2};
  int smoothingValue_ = 1;
  int saveFormatIndex_ = 1;
  std::optional<std::pair<double, double>> shownX_;
  // The data set as loaded, for Reset and New Window. It is copied only when the data set
  // first changes (keepLoaded); until then the data set itself is as loaded but for its
  // selection, which loadedSelection_ keeps.
  std::optional<processing::CDataSet> loaded_;
  std::vector<int> loadedSelection_;
  std::size_t historySynced_ = 0;
  std::vector<OverlaidTrace> overlaid_;
  bool online_ = false;
  PlotViewOptions view_;
  ChangeNotifier changes_;
};

}  // namespace lumatix::app
