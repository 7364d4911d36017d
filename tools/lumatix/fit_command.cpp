// lumatix fit: one trace fitted as the fitting dialog fits it.

#include <charconv>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/fit_command.h"
#include "app/fit_session.h"
#include "app/plot_document.h"
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

// The fitting dialog as the options fill it: the function, the range, the start values or
// the estimate, the locks and the limit; then the fit to its end and OK.
class OptionsFitDialog : public app::FitDialog {
 public:
  OptionsFitDialog(const FitOptions& options, int model, std::optional<std::vector<double>> start,
                   std::vector<std::int32_t> locks)
      : options_(options), model_(model), start_(std::move(start)), locks_(std::move(locks)) {}

  bool run(app::FitSession& session, const app::FitDialogContext&) override {
    session.SelectFunction(model_);
    if (options_.range.size() == 2) session.SetRange(options_.range[0], options_.range[1]);
    if (start_) {
      session.SetValues(*start_);
    } else if (!session.Estimate()) {
      session.Close();
      return false;
    }
    session.SetLocks(locks_);
    session.SetMaxIterations(options_.maxIterations);
    session.SetIncludeResiduals(options_.residuals);
    app::FitProgress progress = session.StartFit();
    while (progress == app::FitProgress::Running) progress = session.Iterate();
    // The viewer would keep the last accepted values of a failed fit; a script gets status 1.
    if (progress == app::FitProgress::Failed) {
      session.Close();
      return false;
    }
    const bool accepted = session.Accept();
    results = session.Results();
    return accepted;
  }

  std::optional<app::FitResults> results;

 private:
  const FitOptions& options_;
  int model_;
  std::optional<std::vector<double>> start_;
  std::vector<std::int32_t> locks_;
};

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
  datastore::smart_ptr<datastore::DataStore> store(loadStore(options.file, input).release());
  app::PlotDocument document(store, options.file, ui);
  document.setDataSet(loadTraces(*store, options.choice));
  if (options.trace != 0) {
    if (options.trace > document.dataSet().TraceCount())
      throw CommandError("--trace " + std::to_string(options.trace) + ": the data set has " +
                         std::to_string(document.dataSet().TraceCount()) + " traces.\n");
    document.deselectAll();
    document.select(options.trace - 1, true);
  }
  const int model = chooseModel(options.model);
  const auto& function = fitting::FitFunx()[static_cast<std::size_t>(model)];
  std::optional<std::vector<double>> start;
  if (!options.start.empty()) start = parseStart(options.start, function);

  // The command line neither reads nor changes the viewer's fitting preferences.
  OptionsFitDialog dialog(options, model, std::move(start), parseLocks(options.lock, function));
  const auto text = document.fit(dialog, nullptr);
  if (!text || !dialog.results) throw CommandError("");
  if (options.json)
    std::cout << resultJson(*dialog.results).dump(2) << '\n';
  else
    printText(std::cout, *text);

  if (target) {
    // What "Save Current Plot" writes: every present trace, the history with the fit's
    // entry, and attributes derived from the input file. The compliance of the derivation
    // is the machine's, which this build does not read yet: a derived file never claims it.
    const processing::CDataSet& set = document.dataSet();
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
