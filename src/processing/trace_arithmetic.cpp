// CDataSet operations that make new traces from selected ones: baseline subtraction and
// addition, averaging, constant addition and factor multiplication.

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <string>

#include "datastore/history_entry.h"
#include "processing/axis_labels.h"
#include "processing/data_set.h"
#include "processing/history_texts.h"

namespace lumatix::processing {
namespace {

constexpr int kAdded = 1;
constexpr int kSubtracted = 2;
constexpr int kAdd = 3;
constexpr int kMultiply = 6;
constexpr int kAverage = 7;

const std::string kSep = kHistorySeparator;
const std::string kEnd = kCrLf;

// Values are stored as floats: a result beyond the float range, or NaN, cannot be kept.
bool storable(double v) { return std::isfinite(v) && std::fabs(v) <= FLT_MAX; }

// Applies op to every value of the rows; refuses, naming the operation, when a finite value
// would become one that cannot be stored, so nothing half-made reaches the person.
template <typename Op>
void applyChecked(std::vector<TraceRow>& rows, const char* operation, float constant, Op op) {
  if (!std::isfinite(constant))
    throw std::runtime_error(std::string(operation) + ": the value must be a finite number.\n");
  for (auto& row : rows)
    for (double v : row)
      if (storable(v) && !storable(op(v)))
        throw std::runtime_error(std::string(operation) + " with " + streamNumber(constant) +
                                 " gives values too large to store; nothing was changed.\n");
  for (auto& row : rows)
    for (float& v : row.edit()) v = static_cast<float>(op(v));
}

// Marks the traces of an operation's result as new traces of one kind, numbered on from the
// source's counter of that kind.
void nameAsDerived(CDataSet& result, const CDataSet& source, int kind) {
  const int first = source.kindCounters[static_cast<std::size_t>(kind)];
  for (std::size_t i = 0; i < result.traceNames.size(); ++i) {
    result.selected[i] = 1;
    result.traceKind[i] = kind;
    result.traceState[i] = kTracePresent;
    result.traceNames[i] = derivedTraceName(kind, first + static_cast<int>(i));
  }
  result.kindCounters[static_cast<std::size_t>(kind)] = first;
}

// The names of the selected traces that Subset keeps, in its order.
std::vector<std::string> sourceNames(const CDataSet& source, const std::vector<int>& selection) {
  std::vector<std::string> names;
  for (std::size_t t = 0; t < selection.size() && t < source.traceNames.size(); ++t)
    if (selection[t] == 1 && static_cast<int>(t) != source.baselineIndex) names.push_back(source.traceNames[t]);
  return names;
}

const TraceRow& baselineRow(const CDataSet& source) {
  if (source.baselineIndex < 0) throw std::runtime_error("CDataSet::Subtract : no baseline selected\n");
  const auto b = static_cast<std::size_t>(source.baselineIndex);
  if (b >= source.traceState.size() || source.traceState[b] != kTraceBaseline || b >= source.yA.size())
    throw std::runtime_error("invalid baseline index\n");
  return source.yA[b];
}

void requireEqualSize(const TraceRow& a, const TraceRow& b) {
  if (a.size() != b.size()) throw std::length_error("vector error : unequal size for compound addition assignment");
}

// Shared by subtraction (sign -1) and addition (sign +1) of the baseline.
CDataSet withBaseline(const CDataSet& source, const std::vector<int>& selection, double sign) {
  // A copy of the row, which shares its values: the result's rows are changed below.
  const TraceRow baseline = baselineRow(source);
  const std::vector<std::string> names = sourceNames(source, selection);
  CDataSet result = source.Subset(selection);
  const int kind = sign < 0 ? kSubtracted : kAdded;
  nameAsDerived(result, source, kind);
  for (std::size_t i = 0; i < result.yA.size(); ++i) {
    requireEqualSize(result.yA[i], baseline);
    const std::span<float> row = result.yA[i].edit();
    for (std::size_t j = 0; j < row.size(); ++j) row[j] = static_cast<float>(row[j] + sign * baseline[j]);
    if (sign < 0)
      result.AddHistory(datastore::makeHistoryEntry(
          "Baseline Subtraction:",
          "Baseline subtracted from :" + kSep + names[i] + kEnd + "New line :" + kSep + result.traceNames[i] + kEnd));
    else
      result.AddHistory(datastore::makeHistoryEntry(
          "Baseline Addition",
          "Baseline added to :" + kSep + names[i] + kEnd + "New line :" + kSep + result.traceNames[i] + "\r\n\r\n"));
  }
  return result;
}

}  // namespace

CDataSet CDataSet::Subtract(const std::vector<int>& selection) const { return withBaseline(*this, selection, -1.0); }

CDataSet CDataSet::AddBaseline(const std::vector<int>& selection) const { return withBaseline(*this, selection, 1.0); }

CDataSet CDataSet::Average(const std::vector<int>& selection) const {
  if (selection.size() != zValues.size() || !IsValid())
    throw std::invalid_argument("CDataSet::Subset : size mismatch in Z axis");
  std::vector<double> sum(xA.size(), 0.0);
  std::vector<std::string> names;
  for (std::size_t t = 0; t < selection.size(); ++t) {
    if (selection[t] != 1) continue;
    names.push_back(traceNames[t]);
    for (std::size_t j = 0; j < sum.size(); ++j) sum[j] += yA[t][j];
  }
  // An empty mean would be a trace of NaNs that looks like data.
  if (names.empty()) throw std::runtime_error("There are no traces to average.");
  for (double& v : sum) v /= static_cast<double>(names.size());

  CDataSet result = Frame();
  result.segments = segments;
  result.zValues = {0.0};
  result.yA = {TraceRow(sum.begin(), sum.end())};
  result.yB = {TraceRow()};
  result.traceState = {kTracePresent};
  result.selected = {1};
  result.traceKind = {kAverage};
  result.traceNames = {""};
  result.traceCount = 1;
  result.pristineFlag = 0;
  nameAsDerived(result, *this, kAverage);

  std::string text = "Averaged Traces : \r\n";
  for (const auto& name : names) text += kSep + name + kEnd;
  text += "New line :" + kSep + result.traceNames[0] + kEnd;
  result.AddHistory(datastore::makeHistoryEntry("Averaged Traces :", text));
  return result;
}

CDataSet CDataSet::AddConstant(const std::vector<int>& selection, float constant) const {
  const std::vector<std::string> names = sourceNames(*this, selection);
  CDataSet result = Subset(selection);
  nameAsDerived(result, *this, kAdd);
  const double c = constant;
  applyChecked(result.yA, "Constant Addition", constant, [c](double v) { return v + c; });
  for (std::size_t i = 0; i < result.yA.size(); ++i) {
    result.AddHistory(datastore::makeHistoryEntry(
        "Constant Addition", "constant :" + streamNumber(constant) + " added to :" + kSep + names[i] + kEnd +
                                 "New line :" + kSep + result.traceNames[i] + kEnd));
  }
  return result;
}

CDataSet CDataSet::Multiply(const std::vector<int>& selection, float factor) const {
  const std::vector<std::string> names = sourceNames(*this, selection);
  CDataSet result = Subset(selection);
  result.traceAxisLabel = "default";
  result.traceDimName = "arb. unit";
  nameAsDerived(result, *this, kMultiply);
  const double f = factor;
  applyChecked(result.yA, "Factor Multiplication", factor, [f](double v) { return v * f; });
  for (std::size_t i = 0; i < result.yA.size(); ++i) {
    result.AddHistory(datastore::makeHistoryEntry(
        "Factor Multiplication", "factor :" + streamNumber(factor) + " multiplied with :" + kSep + names[i] + kEnd +
                                     "New line :" + kSep + result.traceNames[i] + kEnd));
  }
  return result;
}

}  // namespace lumatix::processing
