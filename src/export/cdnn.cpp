#include "export/cdnn.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "datastore/data_store.h"
#include "export/text_sink.h"
#include "platform/atomic_file.h"
#include "processing/data_set.h"

namespace lumatix::exports {
namespace {

constexpr int kMinPoints = 51;
constexpr double kLowest = 180.0;
constexpr double kHighest = 260.0;
constexpr double kMustReach = 210.0;
constexpr double kBestReach = 190.0;

bool isWholeNumber(double value) { return std::fabs(value - std::round(value)) < 1e-9; }

}  // namespace

bool exportCDNN(const datastore::DataStore& store, const std::string& fileName, Reporter& reporter) {
  processing::CDataSet dataSet;
  dataSet.Load(store, 0, -1, 0, -1);
  if (dataSet.TraceCount() != 1) {
    reporter.error("Please select one trace only!");
    return false;
  }
  std::vector<double> x = dataSet.XValues();
  std::vector<double> y = dataSet.YValues(0);
  if (x.size() < kMinPoints || y.size() != x.size()) {
    reporter.error("This spectrum does not have enough points to export as CDNN data.");
    return false;
  }

  const double step = std::floor((x[0] - x[1]) * 10.0 + 0.5) / 10.0;
  if (step <= 0.0 || step > 1.0 || (step > 0.5 && step < 1.0)) {
    reporter.error("Sorry! The step size is not appropriate for CDNN export.\n");
    return false;
  }
  if (!isWholeNumber(1.0 / step)) {
    reporter.error("The step size is not a factor of 1.");
    return false;
  }
  if (x.back() < x.front()) {
    std::reverse(x.begin(), x.end());
    std::reverse(y.begin(), y.end());
  }
  if (x.front() > kMustReach || x.back() < kHighest) {
    reporter.error("The wavelength range must start at 260nm or above and end at 210nm or below.");
    return false;
  }
  if (x.front() > kBestReach)
    reporter.information("For best results, the wavelength range should start at 260nm or above and end at 190nm or below.");

  std::unique_ptr<platform::AtomicFile> file;
  try {
    file = std::make_unique<platform::AtomicFile>(fileName);
  } catch (const std::runtime_error&) {
    throw std::runtime_error("Sorry. Can't open " + fileName + " for writing.");
  }
  {
    TextSink sink(file->stream());
    for (std::size_t i = 0; i < x.size(); ++i)
      if (x[i] >= kLowest && x[i] <= kHighest) sink.number(x[i]).put('\t').number(y[i]).put('\n');
    sink.put('\n');
  }
  file->commit();
  return true;
}

}  // namespace lumatix::exports
