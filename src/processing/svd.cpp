// DecomposeTraces: Eigen's divide-and-conquer SVD of the trace matrix, turned into stores.

#include "processing/svd.h"

#include <Eigen/SVD>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "datastore/data_store.h"
#include "datastore/history_entry.h"
#include "platform/clock.h"
#include "processing/data_set.h"
#include "processing/history_texts.h"

namespace lumatix::processing {
namespace {

using datastore::DataStore;

struct Axis {
  std::string name;
  std::vector<double> values;
};

// A new store of one property per entry of propertyNames over the given axes (axis 0 the
// fastest); fill(p, index) gives the value of property p at flat index.
template <typename Fill>
std::unique_ptr<DataStore> makeStore(const std::vector<std::string>& propertyNames, const std::vector<Axis>& axes,
                                     Fill fill) {
  auto store = std::make_unique<DataStore>(
      "Time Stamp : " + platform::formatTime(platform::localTime(), "%Y/%m/%d %H:%M:%S"),
      static_cast<std::int32_t>(propertyNames.size()), static_cast<std::int32_t>(axes.size()));
  for (std::size_t p = 0; p < propertyNames.size(); ++p) store->properties[static_cast<std::int64_t>(p)] = propertyNames[p];
  for (std::size_t a = 0; a < axes.size(); ++a) {
    auto& dimension = store->dimensions[static_cast<std::int64_t>(a)];
    dimension.set(axes[a].name, static_cast<std::int32_t>(axes[a].values.size()));
    for (std::size_t i = 0; i < axes[a].values.size(); ++i)
      dimension.values[static_cast<std::int64_t>(i)] = static_cast<float>(axes[a].values[i]);
  }
  if (!store->initialise()) throw std::runtime_error("Cannot create datastore");
  const std::int64_t count = store->valuesPerProperty();
  for (std::size_t p = 0; p < propertyNames.size(); ++p)
    for (std::int64_t i = 0; i < count; ++i)
      store->data.data[static_cast<std::int64_t>(p) * count + i] = static_cast<float>(fill(p, i));
  return store;
}

std::vector<double> componentNumbers(int count) {
  std::vector<double> numbers(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) numbers[static_cast<std::size_t>(k)] = k + 1;
  return numbers;
}

}  // namespace

SvdResult DecomposeTraces(const CDataSet& set, int components, const std::string& sourceFile,
                          const DataStore* parent, bool compliantNow) {
  std::vector<std::size_t> rows;
  for (std::size_t t = 0; t < set.yA.size(); ++t)
    if (t < set.traceState.size() && set.traceState[t] != kTraceExcluded) rows.push_back(t);
  if (rows.size() < 2) throw std::runtime_error("A singular value decomposition needs at least two traces.");
  const std::size_t points = set.xA.size();
  for (std::size_t t : rows)
    if (set.yA[t].size() != points) throw std::runtime_error("The traces do not all have the same number of points.");
  if (points < 2) throw std::runtime_error("A singular value decomposition needs at least two points per trace.");

  const auto m = static_cast<Eigen::Index>(rows.size());
  const auto n = static_cast<Eigen::Index>(points);
  Eigen::MatrixXd matrix(m, n);
  for (Eigen::Index r = 0; r < m; ++r)
    for (Eigen::Index c = 0; c < n; ++c) {
      const double value = set.yA[rows[static_cast<std::size_t>(r)]][static_cast<std::size_t>(c)];
      if (!std::isfinite(value)) throw std::runtime_error("The traces hold values that are not finite numbers.");
      matrix(r, c) = value;
    }

  Eigen::BDCSVD<Eigen::MatrixXd> svd(matrix, Eigen::ComputeThinU | Eigen::ComputeThinV);
  const Eigen::VectorXd& s = svd.singularValues();
  const double tolerance = static_cast<double>(std::max(m, n)) * std::numeric_limits<double>::epsilon() *
                           (s.size() > 0 ? s(0) : 0.0);
  int rank = 0;
  while (rank < s.size() && s(rank) > tolerance) ++rank;
  if (components < 1 || components > rank)
    throw std::runtime_error("The number of components must be between 1 and the rank of the traces (" +
                             std::to_string(rank) + "); " + std::to_string(components) + " was asked for.");

  const Eigen::MatrixXd& u = svd.matrixU();
  const Eigen::MatrixXd& v = svd.matrixV();
  const Eigen::Index k = components;
  const Eigen::MatrixXd rebuilt = u.leftCols(k) * s.head(k).asDiagonal() * v.leftCols(k).transpose();

  std::vector<double> traceAxis;
  for (std::size_t t : rows) traceAxis.push_back(set.zValues[t]);
  const std::string traceName = set.traceDimName.empty() ? std::string("Trace") : set.traceDimName;
  const Axis xAxis{set.xDimName, set.xA};
  const Axis traces{traceName, traceAxis};

  SvdResult result;
  result.singularValues.assign(s.data(), s.data() + s.size());
  result.values = makeStore({"Singular value"}, {Axis{"Component", componentNumbers(static_cast<int>(s.size()))}},
                            [&](std::size_t, std::int64_t i) { return s(i); });
  result.basis = makeStore({"Basis " + set.valueName}, {xAxis, Axis{"Component", componentNumbers(components)}},
                           [&](std::size_t, std::int64_t i) { return v(i % n, i / n) * s(i / n); });
  result.amplitudes = makeStore({"Amplitude"}, {traces, Axis{"Component", componentNumbers(components)}},
                                [&](std::size_t, std::int64_t i) { return u(i % m, i / m); });
  result.rebuilt = makeStore({set.valueName, "Residual"}, {xAxis, traces}, [&](std::size_t p, std::int64_t i) {
    const double fitted = rebuilt(i / n, i % n);
    return p == 0 ? fitted : matrix(i / n, i % n) - fitted;
  });

  const auto entry = datastore::makeHistoryEntry(
      "Singular Value Decomposition :", "Source file : " + sourceFile + kCrLf + "Components : " + std::to_string(components));
  for (DataStore* store : {result.values.get(), result.basis.get(), result.amplitudes.get(), result.rebuilt.get()}) {
    store->history = set.history;
    if (parent != nullptr) store->deriveFrom(*parent, sourceFile, true, compliantNow);
    store->addHistory(entry);
  }
  return result;
}

}  // namespace lumatix::processing
