#include <iostream>

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
  const auto rows = [&](const std::vector<double>& x, const std::vector<std::vector<double>>& y) {
    for (std::size_t j = 0; j < x.size(); ++j) {
      out << formatNumber(x[j]);
      for (const auto& row : y) out << '\t' << formatNumber(row[j]);
      out << '\n';
    }
  };
  rows(set.xA, set.yA);
  rows(set.xB, set.yB);
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
