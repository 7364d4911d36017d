#include <algorithm>
#include <iostream>
#include <vector>

#include "commands.h"
#include "export/float_text.h"
#include "processing/trace_cut.h"
#include "trace_choice.h"

namespace lumatix::cli {
namespace {

// Prints the table straight from the store through the cut: the values are never copied, so
// memory stays that of the loaded file whatever its size.
void printTraces(const processing::CDataSet& set, const processing::TraceCut& cut, std::ostream& out) {
  out << "# type: " << set.typeName << '\n';
  out << "# x: " << set.xLabel << '\n';
  out << "# y: " << set.yLabel << '\n';
  out << "# traces: " << set.traceAxisLabel << '\n';
  out << 'x';
  for (const auto& name : set.traceNames) out << '\t' << name;
  out << '\n';
  // Rows are written into a buffer handed to the stream in large pieces: a 256 MiB file is
  // tens of millions of numbers.
  constexpr std::size_t kBuffer = 1 << 16, kLongestNumber = 32;
  std::vector<char> buffer(kBuffer);
  char* at = buffer.data();
  char* const full = buffer.data() + kBuffer - kLongestNumber - 1;
  const auto flush = [&] {
    out.write(buffer.data(), at - buffer.data());
    at = buffer.data();
  };
  // Every number of the table is a single-precision value of the store (x values and the
  // option row's conversions included), so the exports' float formatting writes it.
  const auto put = [&](double value, char after) {
    if (at >= full) flush();
    at = exports::formatFloatFast(at, static_cast<float>(value));
    *at++ = after;
  };
  // Each row takes one value of every trace, and the traces lie far apart in the store: the
  // values are gathered a block of rows at a time, trace by trace, so that each trace is read
  // in order instead of one cache line per value.
  const auto traces = static_cast<std::size_t>(cut.traces);
  const std::size_t block = std::clamp<std::size_t>((std::size_t{1} << 17) / std::max<std::size_t>(traces, 1), 1, 64);
  std::vector<double> gathered(traces * block);
  const auto rows = [&](const std::vector<double>& x, auto value) {
    for (std::size_t first = 0; first < x.size(); first += block) {
      const std::size_t count = std::min(block, x.size() - first);
      for (std::size_t t = 0; t < traces; ++t)
        for (std::size_t k = 0; k < count; ++k) gathered[k * traces + t] = value(static_cast<int>(t), first + k);
      for (std::size_t k = 0; k < count; ++k) {
        put(x[first + k], traces == 0 ? '\n' : '\t');
        const double* row = gathered.data() + k * traces;
        for (std::size_t t = 0; t < traces; ++t) put(row[t], t + 1 == traces ? '\n' : '\t');
      }
    }
  };
  rows(set.xA, [&cut](int t, std::size_t j) { return cut.a(t, j); });
  rows(set.xB, [&cut](int t, std::size_t j) { return cut.b(t, j); });
  flush();
}

}  // namespace

void addTracesCommand(CLI::App& app, InputOptions& input) {
  auto* command = app.add_subcommand("traces", "The data set as a table: type, labels, trace names and values");
  static std::string file;
  static TraceChoice choice;
  command->add_option("FILE", file, "The file")->required();
  addTraceChoiceOptions(*command, choice);
  command->callback([&input] {
    auto store = loadStore(file, input);
    processing::CDataSet set;
    const processing::TraceCut cut = app::loadTraceShape(*store, choice, set);
    printTraces(set, cut, std::cout);
  });
}

}  // namespace lumatix::cli
