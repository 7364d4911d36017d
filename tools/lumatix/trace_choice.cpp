#include "trace_choice.h"

#include "cli_support.h"

namespace lumatix::cli {

void addTraceChoiceOptions(CLI::App& command, TraceChoice& choice) {
  command.add_option("--x", choice.x, "The x dimension: short name or index (default: the saved view's x axis)");
  command.add_option("--traces", choice.traces,
                     "The dimension along which traces are cut, or 'none' (default: the saved view's second axis)");
  command.add_option("--at", choice.at, "DIM=INDEX: the index at which another dimension is held (default 0)");
  command.add_option("--option", choice.option, "The trace-type option row, from 0 (default: the stored option)")
      ->check(FiniteRange(0, 65535));
}

}  // namespace lumatix::cli
