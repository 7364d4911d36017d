#pragma once
// The trace-choice options of the commands that cut a file into traces: --x, --traces,
// --at DIM=INDEX and --option. The rule that turns them into traces is app::TraceChoice's.

#include <CLI/CLI.hpp>

#include "app/trace_choice.h"

namespace lumatix::cli {

using app::loadTraces;
using app::resolveDimension;
using app::TraceChoice;

void addTraceChoiceOptions(CLI::App& command, TraceChoice& choice);

}  // namespace lumatix::cli
