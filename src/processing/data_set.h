#pragma once
// CDataSet: the traces a plot shows, cut out of one DataStore along an x dimension, one
// trace per index of a trace dimension, every other dimension held at its current index.
// A plain value: operations make new data sets, which the window appends to its own, and a
// data set turns back into a new DataStore for saving.
//
// Segments: the x axis is xA followed by xB. xA holds the points at or below the split value
// of the saved view (the largest x when the view was built), xB the points appended later;
// yA rows are shown in the selected option's unit, yB rows as stored. Likewise the traces
// past the trace axis's split value are appended ones, named from the marks of view axis 1.
//
// The y values are held in single precision, as the store holds them; a copy of a data set
// shares them with the original until either changes them (processing/trace_row.h).
//
// Every operation that fails throws an exception whose what() is the message for the person
// and leaves the data set as it was.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "datastore/history_entry.h"
#include "datastore/view_state.h"
#include "processing/trace_row.h"

namespace lumatix::datastore {
class DataStore;
}

namespace lumatix::processing {

struct TraceCut;

// What a data set keeps of the saved view for its x axis (entry 0) and its trace axis
// (entry 1).
struct SegmentEntry {
  std::int32_t dimensionOrder = 1;
  std::pair<float, float> range{0.0f, 0.0f};  // (largest, smallest) when the view was built
  std::vector<datastore::ViewMark> marks;
  friend bool operator==(const SegmentEntry&, const SegmentEntry&) = default;
};

// Trace states.
inline constexpr int kTraceExcluded = 0;
inline constexpr int kTracePresent = 1;
inline constexpr int kTraceBaseline = 2;

class CDataSet {
 public:
  CDataSet() = default;

  // Fills the data set from property valueIndex of the store (see the header comment).
  // Does nothing when xDim or valueIndex is negative; traceDim -1 gives a single trace.
  // optionIndex >= 0 shows the values in that option row's unit. Throws
  // "The currently selected option is invalid.\n" for a missing option row, "Trace type is
  // out of range.\n\nIf you see ..." for a stored mark of a kind outside 0..11, and a
  // plain message for a dimension, property or current index the store does not have.
  // defaultTraceName is kept and names the first trace when the traces are not named from
  // the trace axis.
  void Load(const datastore::DataStore& store, int xDim, int traceDim, int valueIndex, int optionIndex);
  // Load without copying the values: every field as Load sets it, but each trace's rows are
  // empty; the returned cut reads the values from the store (processing/trace_cut.h), which
  // must outlive it unchanged. The same refusals as Load.
  TraceCut LoadShape(const datastore::DataStore& store, int xDim, int traceDim, int valueIndex, int optionIndex);

  // The traces whose selection entry is 1, the baseline trace never among them, segment A
  // only. Throws "CDataSet::Subset : size mismatch in Z axis" unless the selection has one
  // entry per trace.
  CDataSet Subset(const std::vector<int>& selection) const;
  // Subset of traces 0 .. n-1.
  CDataSet FirstTraces(int n) const;
  // The selected traces, in order. Throws "Could not create valid dataset".
  CDataSet SelectedOnly() const;

  // Appends the traces of other (an operation's result) when both show the same y label;
  // returns false, changing nothing, otherwise. Each appended trace is numbered with this
  // data set's counter of its kind and recorded as a ViewMark (kept in files) on view axis 1
  // of windowStore, the store the window shows; a store with a single dimension is first
  // given a one-point trace dimension (its values stay where they are). Throws, changing
  // nothing, when other's rows do not have this data set's number of segment-A points.
  bool Append(const CDataSet& other, datastore::DataStore& windowStore);

  void AddHistory(const datastore::HistoryEntry& entry);

  // One state per trace: 1 present, 2 present and the baseline, anything else excluded.
  // False, changing nothing, when the count differs from the number of traces.
  bool SetTraceStates(const std::vector<int>& states);

  // A new store of the present traces (and, with a selection, only the selected ones):
  // dimension 0 the x axis, dimension 1 the traces. Appended traces are recorded as marks of
  // view axis 1 so that the store reads back with the same trace names and kinds. Throws
  // "Cannot create datastore" when the selection does not have one entry per trace.
  std::unique_ptr<datastore::DataStore> ToDataStore() const;
  std::unique_ptr<datastore::DataStore> ToDataStore(const std::vector<int>& selection) const;

  // The fit of the one trace whose selection entry is 1, as new traces over its segment A:
  // the fitted trace ("Fit (f)::N", kind 10) holds the model with the given parameters at
  // every x, and with includeResiduals the residual trace ("Fit (r)::N", kind 11) holds
  // y - fit where from <= x <= to and exactly 0 elsewhere. N is this data set's counter of
  // the kind. Throws "CDataSet::CF_Fit : more than 1 trace selected\n",
  // "CDataSet::CF_Fit : no trace selected\n", "CDataSet::Subset : size mismatch in Z axis"
  // when the selection does not have one entry per trace, and std::out_of_range for a
  // function index outside the fitting library or a parameter count that is not the
  // function's.
  CDataSet CF_Fit(const std::vector<int>& selection, int functionIndex, const std::vector<double>& parameters,
                  float from, float to, bool includeResiduals) const;

  // --- trace arithmetic ---
  // Each operation leaves this data set as it is and returns a new one holding only the new
  // traces (segment A only, every one present and selected), named by the derived-trace rule
  // with this data set's counter of their kind, with one history entry per new trace
  // (averaging: one in all) added to the result. The selection has one entry per trace,
  // 1 = selected; the baseline trace is never among the traces operated on.

  // Selected traces minus the baseline. Throws "CDataSet::Subtract : no baseline selected\n"
  // without a baseline, "invalid baseline index\n" when the baseline trace is not marked as
  // one, and Subset's message for a selection of the wrong size.
  CDataSet Subtract(const std::vector<int>& selection) const;
  // Selected traces plus the baseline; the same refusals as Subtract.
  CDataSet AddBaseline(const std::vector<int>& selection) const;
  // The mean of the selected traces, as one trace. Throws Subset's message for a selection
  // of the wrong size and "There are no traces to average." when none is selected.
  CDataSet Average(const std::vector<int>& selection) const;
  // Selected traces plus a constant.
  CDataSet AddConstant(const std::vector<int>& selection, float constant) const;
  // Selected traces times a factor.
  CDataSet Multiply(const std::vector<int>& selection, float factor) const;

  // --- CD units ---
  // The selected present traces (as ToDataStore writes them: hidden traces left out, the
  // baseline kept when the selection names it), both segments, with every value times
  // factor and the value name of the target unit key ("deltaa", "mdeg", "mcd", "me", "mre",
  // "mrmcd", "mrme"). Throws "Unknown CD unit: <key>" for any other key and the messages of
  // ToDataStore and Load.
  CDataSet ConvertCD(const std::vector<int>& selection, double factor, const std::string& targetKey) const;

  // Whether every per-trace vector and every row has the size the invariants demand.
  bool IsValid() const;

  // --- accessors ---
  int TraceCount() const { return static_cast<int>(zValues.size()); }
  // The full x axis: xA followed by xB.
  std::vector<double> XValues() const;
  // The full row of trace t: yA[t] followed by yB[t]. Throws std::out_of_range.
  std::vector<double> YValues(int t) const;

  // The fields, in declaration order.
  std::string typeName;
  std::string xLabel;
  std::string yLabel;
  std::string traceAxisLabel;
  std::string xDimName;
  std::string valueName;
  std::string traceDimName;
  bool autoscale = false;
  std::vector<double> xA;
  std::vector<double> zValues;
  std::vector<TraceRow> yA;
  std::vector<double> xB;
  std::vector<TraceRow> yB;
  std::vector<int> traceState;
  std::vector<int> selected;
  std::vector<int> traceKind;
  std::vector<std::string> traceNames;
  int traceCount = 0;
  int subsetFlag = 0;
  int pristineFlag = 1;
  bool hasTraceDim = false;
  bool compliant = true;
  int optionIndex = -1;
  bool modified = false;
  int unitCode = -1;
  std::string defaultTraceName;
  std::vector<datastore::HistoryEntry> history;
  std::array<int, 12> kindCounters{};
  std::vector<SegmentEntry> segments;  // empty, or x axis then trace axis
  std::vector<std::string> dimNames;
  int baselineIndex = -1;

 private:
  // An empty data set with this one's labels, names, x values of segment A, unit, history,
  // compliance and dimension names: the frame every operation's result is built in.
  CDataSet Frame() const;
};

// The message for a stored mark whose kind is outside 0..11.
inline constexpr const char* kTraceKindOutOfRange =
    "Trace type is out of range.\n\nIf you see this message contact QVL Technical Support for a software update.";

}  // namespace lumatix::processing
