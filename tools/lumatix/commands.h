#pragma once
// Each command of the lumatix program adds itself to the application here.

#include <CLI/CLI.hpp>

#include "cli_support.h"

namespace lumatix::cli {

void addFormatsCommand(CLI::App& app);
void addModelsCommand(CLI::App& app);
void addInfoCommand(CLI::App& app, InputOptions& input);
void addHistoryCommand(CLI::App& app, InputOptions& input);
void addConvertCommand(CLI::App& app, InputOptions& input);
void addTracesCommand(CLI::App& app, InputOptions& input);
void addFitCommand(CLI::App& app, InputOptions& input);
// baseline, average, math, smooth and cd-units.
void addProcessingCommands(CLI::App& app, InputOptions& input);
void addDescribeCommand(CLI::App& app, InputOptions& input);
void addPlotCommand(CLI::App& app, InputOptions& input);
void addDecomposeCommand(CLI::App& app, InputOptions& input);
void addRampCommand(CLI::App& app, InputOptions& input);
void addSvdCommand(CLI::App& app, InputOptions& input);
void addAcquireCommand(CLI::App& app);

}  // namespace lumatix::cli
