#pragma once
// lumatix fit --global: one fit over the selected traces with shared and local parameters.
// The fit command adds these options and hands over to runGlobalFit when --global is given.

#include <string>

#include <CLI/CLI.hpp>

#include "cli_support.h"
#include "trace_choice.h"

namespace lumatix::cli {

struct GlobalFitOptions {
  bool global = false;
  std::string share;   // parameter names, comma-separated
  std::string select;  // 1-based trace numbers and ranges
};

// What the global fit takes from the fit command's own options.
struct FitCommandOptions {
  const std::string& file;
  const TraceChoice& choice;
  const std::string& model;
  const std::string& start;
  const std::string& lock;
  int maxIterations;
  const std::string& out;
  const std::string& format;
  bool residuals;
  bool json;
};

// Adds --global, --share and --select to the fit command (--trace and --range are for one
// trace and are refused beside --global).
void addGlobalFitOptions(CLI::App& fit, GlobalFitOptions& options);

// Fits, prints the "Global Fitting" history lines (or with json the object of the fit) and
// writes the plot with the new traces to out when given.
void runGlobalFit(const GlobalFitOptions& global, const FitCommandOptions& fit, const InputOptions& input);

}  // namespace lumatix::cli
