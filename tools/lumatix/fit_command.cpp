// lumatix fit: one trace fitted as the fitting dialog fits it.

#include <charconv>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/fit_command.h"
#include "app/fit_session.h"
#include "commands.h"
#include "fit_global.h"
#include "fitting/fit_funx.h"
#include "output_formats.h"
#include "terminal_ui.h"
#include "trace_choice.h"

namespace lumatix::cli {
namespace {

struct FitOptions {
  std::string file;
  TraceChoice choice;
  std::string model;
  int trace = 0;  // 1-based; 0: the viewer's rule
  std::vector<float> range;
  std::string start;
  std::string lock;
  int maxIterations = app::kDefaultMaxIterations;
  std::string out;
  std::string format;
  bool residuals = false;
  bool json = false;
};

bool parseWhole(const std::string& text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> items;
  std::size_t begin = 0;
  while (true) {
    const auto comma = text.find(',', begin);
    items.push_back(text.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin));
    if (comma == std::string::npos) return items;
    begin = comma + 1;
  }
}

std::string parameterList(const fitting::FitFunction& function) {
  std::string list;
  for (const auto& name : function.parameterNames) list += (list.empty() ? "" : ",") + name;
  return list;
}

}  // namespace

int chooseModel(const std::string& text) {
  const auto& table = fitting::FitFunx();
  int index = -1;
  if (parseWhole(text, index) && index >= 0 && static_cast<std::size_t>(index) < table.size()) return index;
  for (std::size_t f = 0; f < table.size(); ++f)
    if (table[f].name == text) return static_cast<int>(f);
  throw CommandError("There is no fitting function \"" + text + "\"; 'lumatix models' lists them.\n");
}

namespace {

std::vector<double> parseStart(const std::string& text, const fitting::FitFunction& function) {
  std::vector<double> values;
  for (const auto& item : split(text)) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), value);
    if (error != std::errc() || end != item.data() + item.size() || item.empty())
      throw CommandError("--start takes numbers separated by commas, not \"" + item + "\".\n");
    values.push_back(value);
  }
  if (values.size() != static_cast<std::size_t>(function.count))
    throw CommandError("--start needs " + std::to_string(function.count) + " values for " + function.name + " (" +
                       parameterList(function) + "), not " + std::to_string(values.size()) + ".\n");
  return values;
}

// Parameters named by their number from 1 or by their name.
std::vector<std::int32_t> parseLocks(const std::string& text, const fitting::FitFunction& function) {
  std::vector<std::int32_t> locks(static_cast<std::size_t>(function.count), 0);
  if (text.empty()) return locks;
  for (const auto& item : split(text)) {
    int number = 0;
    if (!parseWhole(item, number)) {
      const auto& names = function.parameterNames;
      const auto found = std::find(names.begin(), names.end(), item);
      number = found == names.end() ? 0 : static_cast<int>(found - names.begin()) + 1;
    }
    if (number < 1 || number > function.count)
      throw CommandError("--lock: " + function.name + " has no parameter \"" + item + "\" (its parameters: " +
                         parameterList(function) + ").\n");
    locks[static_cast<std::size_t>(number - 1)] = 1;
  }
  return locks;
}

int chooseTrace(processing::CDataSet& set, int number, app::Ui& ui) {
  if (number != 0) {
    if (number < 1 || number > set.TraceCount())
      throw CommandError("--trace " + std::to_string(number) + ": the data set has " +
                         std::to_string(set.TraceCount()) + " traces.\n");
    std::fill(set.selected.begin(), set.selected.end(), 0);
    set.selected[static_cast<std::size_t>(number - 1)] = 1;
  }
  const auto trace = app::chooseFitTrace(set, ui);
  if (!trace) throw CommandError("");
  return *trace;
}

// The range ends are single-precision numbers: written as the shortest decimal that reads
// back as the same float (0.04, not 0.03999999910593033).
double shortestDecimal(float value) {
  char buffer[32];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
  double decimal = value;
  std::from_chars(buffer, written.ptr, decimal);
  return decimal;
}

nlohmann::ordered_json resultJson(const app::FitResults& results) {
  const auto& function = fitting::FitFunx()[static_cast<std::size_t>(results.functionIndex)];
  nlohmann::ordered_json parameters = nlohmann::ordered_json::array();
  for (std::size_t j = 0; j < results.values.size(); ++j)
    parameters.push_back({{"name", function.parameterNames[j]},
                          {"value", results.values[j]},
                          {"error", results.errors[j]},
                          {"locked", results.locks[j] == 1}});
  return {{"function", {{"index", results.functionIndex}, {"name", function.name}, {"equation", function.equation}}},
          {"parameters", parameters},
          {"range", {{"from", shortestDecimal(results.from)}, {"to", shortestDecimal(results.to)}}},
          {"normalised_variance", results.normalisedVariance},
          {"reduced_chi_square", results.reducedChiSquare},
          {"signal_noise", results.signalNoise},
          {"iterations", results.iterations},
          {"converged", results.converged},
          {"reason", fitting::describeEndReason(results.reason)}};
}

void run(const FitOptions& options, const InputOptions& input) {
  const OutputFormat* target = nullptr;
  if (!options.out.empty()) target = &chooseOutputFormat(options.out, options.format);
  TerminalUi ui(std::cerr, false, false);
  auto store = loadStore(options.file, input);
  processing::CDataSet set = loadTraces(*store, options.choice);
  const int trace = chooseTrace(set, options.trace, ui);
  const int model = chooseModel(options.model);
  const auto& function = fitting::FitFunx()[static_cast<std::size_t>(model)];

  // The command line neither reads nor changes the viewer's fitting preferences.
  app::FitSession session(ui, set.xA, set.yA[static_cast<std::size_t>(trace)], nullptr);
  session.Begin();
  session.SelectFunction(model);
  if (options.range.size() == 2) session.SetRange(options.range[0], options.range[1]);
  if (!options.start.empty())
    session.SetValues(parseStart(options.start, function));
  else if (!session.Estimate())
    throw CommandError("");
  session.SetLocks(parseLocks(options.lock, function));
  session.SetMaxIterations(options.maxIterations);
  session.SetIncludeResiduals(options.residuals);

  app::FitProgress progress = session.StartFit();
  while (progress == app::FitProgress::Running) progress = session.Iterate();
  if (progress == app::FitProgress::Failed) throw CommandError("");
  session.Accept();

  const app::FitResults results = session.Results();
  const auto text = app::applyFitResults(set, *store, trace, results, ui);
  if (!text) throw CommandError("");
  if (options.json)
    std::cout << resultJson(results).dump(2) << '\n';
  else
    printText(std::cout, *text);

  if (target) {
    // What "Save Current Plot" writes: every present trace, the history with the fit's
    // entry, and attributes derived from the input file. The compliance of the derivation
    // is the machine's, which this build does not read yet: a derived file never claims it.
    auto saved = set.ToDataStore();
    saved->deriveFrom(*store, options.file, set.modified, false);
    writeOutput(*saved, *target, options.out);
  }
}

}  // namespace

void addFitCommand(CLI::App& app, InputOptions& input) {
  auto* command = app.add_subcommand("fit", "Fit one trace as the fitting dialog does; print the \"Fitting\" history lines");
  static FitOptions options;
  command->add_option("IN", options.file, "Input file")->required();
  command->add_option("--model", options.model, "The fitting function: its name or index ('lumatix models')")
      ->required();
  command->add_option("--trace", options.trace, "The trace to fit, counted from 1 (default: the only trace)")
      ->check(CLI::PositiveNumber);
  command->add_option("--range", options.range, "FROM TO: fit the points with FROM <= x <= TO (default: all)")
      ->expected(2);
  command->add_option("--start", options.start, "V1,V2,...: start values (default: the function's estimate)");
  command->add_option("--lock", options.lock, "I,...: parameters held at their start value, by number from 1 or name");
  command->add_option("--max-iter", options.maxIterations, "Iteration limit, 1 to 1000 (default 25)")
      ->check(CLI::Range(1, app::kMaxIterationsLimit));
  auto* out = command->add_option("--out", options.out, "Write the plot with the fitted trace to this file");
  command->add_option("--format", options.format, "Output format name (default: from the extension)")
      ->needs(out)
      ->check(NonEmpty());
  command->add_flag("--residuals", options.residuals, "Add the residual trace to the output")->needs(out);
  command->add_flag("--json", options.json, "Write the results as a JSON object");
  addTraceChoiceOptions(*command, options.choice);
  static GlobalFitOptions global;
  addGlobalFitOptions(*command, global);
  command->callback([&input] {
    if (!global.global) return run(options, input);
    const auto& o = options;
    runGlobalFit(global, {o.file, o.choice, o.model, o.start, o.lock, o.maxIterations, o.out, o.format, o.residuals, o.json},
                 input);
  });
}

}  // namespace lumatix::cli
