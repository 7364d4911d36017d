// lumatix fit --global: the selected traces fitted at once through app::GlobalFitSession.

#include "fit_global.h"

#include <charconv>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/global_fit_command.h"
#include "fitting/fit_funx.h"
#include "output_formats.h"
#include "processing/data_set.h"
#include "terminal_ui.h"

namespace lumatix::cli {
namespace {

std::vector<std::string> items(const std::string& list) {
  std::vector<std::string> out;
  std::size_t begin = 0;
  while (true) {
    const auto comma = list.find(',', begin);
    out.push_back(list.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin));
    if (comma == std::string::npos) return out;
    begin = comma + 1;
  }
}

bool wholeNumber(const std::string& text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

int chooseFunction(const std::string& text) {
  const auto& table = fitting::FitFunx();
  int index = -1;
  if (wholeNumber(text, index) && index >= 0 && static_cast<std::size_t>(index) < table.size()) return index;
  for (std::size_t f = 0; f < table.size(); ++f)
    if (table[f].name == text) return static_cast<int>(f);
  throw CommandError("There is no fitting function \"" + text + "\"; 'lumatix models' lists them.\n");
}

// Parameters named by their name or their number from 1, as names.
std::string parameterNames(const std::string& list, const fitting::FitFunction& function) {
  std::string names;
  if (list.empty()) return names;
  for (const auto& item : items(list)) {
    int number = 0;
    const bool byNumber = wholeNumber(item, number) && number >= 1 && number <= function.count;
    names += (names.empty() ? "" : ",") + (byNumber ? function.parameterNames[static_cast<std::size_t>(number - 1)] : item);
  }
  return names;
}

std::vector<double> startValues(const std::string& list) {
  std::vector<double> values;
  if (list.empty()) return values;
  for (const auto& item : items(list)) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), value);
    if (item.empty() || error != std::errc() || end != item.data() + item.size())
      throw CommandError("--start takes numbers separated by commas, not \"" + item + "\".\n");
    values.push_back(value);
  }
  return values;
}

// 1-based trace numbers and ranges ("1,3,5-9") as a selection vector.
std::vector<int> selection(const std::string& list, const processing::CDataSet& set) {
  const int traces = set.TraceCount();
  std::vector<int> chosen(static_cast<std::size_t>(traces), 0);
  if (list.empty()) {
    for (int t = 0; t < traces; ++t)
      chosen[static_cast<std::size_t>(t)] = set.traceState[static_cast<std::size_t>(t)] == processing::kTracePresent;
    return chosen;
  }
  for (const auto& item : items(list)) {
    const auto dash = item.find('-');
    int first = 0, last = 0;
    const bool read = wholeNumber(item.substr(0, dash), first) &&
                      (dash == std::string::npos ? (last = first, true) : wholeNumber(item.substr(dash + 1), last));
    if (!read) throw CommandError("--select: not a trace list: " + list + "\n");
    if (first < 1 || last < first || last > traces)
      throw CommandError("There is no trace " + item + ": the plot has " + std::to_string(traces) + " traces.\n");
    for (int t = first; t <= last; ++t) chosen[static_cast<std::size_t>(t - 1)] = 1;
  }
  return chosen;
}

nlohmann::ordered_json resultJson(const app::GlobalFitResults& results) {
  const auto& function = fitting::FitFunx()[static_cast<std::size_t>(results.functionIndex)];
  const auto& names = function.parameterNames;
  nlohmann::ordered_json shared = nlohmann::ordered_json::array();
  for (std::size_t j = 0; j < names.size(); ++j)
    if (results.shared[j])
      shared.push_back({{"name", names[j]}, {"value", results.values[0][j]}, {"error", results.errors[0][j]}});
  nlohmann::ordered_json traces = nlohmann::ordered_json::array();
  for (std::size_t t = 0; t < results.values.size(); ++t) {
    nlohmann::ordered_json parameters = nlohmann::ordered_json::array();
    for (std::size_t j = 0; j < names.size(); ++j)
      if (!results.shared[j])
        parameters.push_back({{"name", names[j]},
                              {"value", results.values[t][j]},
                              {"error", results.errors[t][j]},
                              {"locked", results.locks[j] == 1}});
    traces.push_back({{"trace", results.traceNames[t]}, {"parameters", parameters}});
  }
  return {{"function", {{"index", results.functionIndex}, {"name", function.name}, {"equation", function.equation}}},
          {"shared", shared},
          {"traces", traces},
          {"reduced_chi_square", results.reducedChiSquare},
          {"iterations", results.iterations},
          {"converged", results.converged},
          {"reason", fitting::describeEndReason(results.reason)}};
}

}  // namespace

void addGlobalFitOptions(CLI::App& fit, GlobalFitOptions& options) {
  auto* global = fit.add_flag("--global", options.global,
                              "Fit the selected traces at once, the --share parameters common to all of them");
  fit.add_option("--share", options.share, "P,...: with --global, the parameters shared by every trace (by name)")
      ->needs(global);
  fit.add_option("--select", options.select,
                 "With --global, the traces to fit: 1-based numbers, e.g. 1,3,5-9 (default: every present trace)")
      ->needs(global)
      ->check(NonEmpty());
  global->excludes(fit.get_option("--trace"));
  global->excludes(fit.get_option("--range"));
}

void runGlobalFit(const GlobalFitOptions& global, const FitCommandOptions& fit, const InputOptions& input) {
  const OutputFormat* target = nullptr;
  if (!fit.out.empty()) target = &chooseOutputFormat(fit.out, fit.format);
  TerminalUi ui(std::cerr, false, false);
  auto store = loadStore(fit.file, input);
  processing::CDataSet set = loadTraces(*store, fit.choice);

  app::GlobalFitSettings settings;
  settings.functionIndex = chooseFunction(fit.model);
  const auto& function = fitting::FitFunx()[static_cast<std::size_t>(settings.functionIndex)];
  std::optional<app::GlobalFitSession> session;
  try {
    settings.shared = app::parameterFlags(function, parameterNames(global.share, function));
    const std::vector<bool> locked = app::parameterFlags(function, parameterNames(fit.lock, function));
    for (bool lock : locked) settings.locks.push_back(lock ? 1 : 0);
    settings.start = startValues(fit.start);
    settings.maxIterations = fit.maxIterations;
    settings.includeResiduals = fit.residuals;
    session.emplace(set, selection(global.select, set), settings);
  } catch (const CommandError&) {
    throw;
  } catch (const std::exception& error) {
    throw CommandError(std::string(error.what()) + "\n");
  }
  session->Run();
  const app::GlobalFitResults& results = session->Results();
  if (!results.converged)
    std::cerr << "Warning: " << fitting::describeEndReason(results.reason) << '\n';

  const auto text = app::applyGlobalFitResults(set, *store, results, ui);
  if (!text) throw Reported();
  if (fit.json)
    std::cout << resultJson(results).dump(2) << '\n';
  else
    printText(std::cout, *text);
  if (target) {
    // As "Save Current Plot" writes it, derived from the input file (see the single fit).
    auto saved = set.ToDataStore();
    saved->deriveFrom(*store, fit.file, set.modified, false);
    writeOutput(*saved, *target, fit.out);
  }
}

}  // namespace lumatix::cli
