#include <charconv>
#include <iostream>
#include <vector>

#include "commands.h"
#include "trace_choice.h"

namespace lumatix::cli {
namespace {

void printTraces(const processing::CDataSet& set, std::ostream& out) {
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
  const auto put = [&](double value, char after) {
    if (at >= full) flush();
    at = std::to_chars(at, at + kLongestNumber, value, std::chars_format::general, 6).ptr;
    *at++ = after;
  };
  const auto rows = [&](const std::vector<double>& x, const std::vector<std::vector<double>>& y) {
    for (std::size_t j = 0; j < x.size(); ++j) {
      put(x[j], y.empty() ? '\n' : '\t');
      for (std::size_t t = 0; t < y.size(); ++t) put(y[t][j], t + 1 == y.size() ? '\n' : '\t');
    }
  };
  rows(set.xA, set.yA);
  rows(set.xB, set.yB);
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
    const processing::CDataSet set = loadTraces(*store, choice);
    printTraces(set, std::cout);
  });
}

}  // namespace lumatix::cli
