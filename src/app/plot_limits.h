#pragma once
// "Set Plot Limits": the ranges of the plot's two axes as the person types them. The axes
// show values in data units; on a logarithmic x axis the plot keeps their logarithms.

#include <string>

namespace lumatix::app {

inline constexpr const char* kPlotLimitsTitle = "Set Plot Limits";

struct PlotLimits {
  double xFrom = 0.0;
  double xTo = 1.0;
  double yFrom = 0.0;
  double yTo = 1.0;
};

// Why the limits cannot be set, "" when they can. The order of the ends does not matter (an
// axis sorts them), but each axis needs a range the ticks can divide (at least 1e-8 in the
// plotted values) and a logarithmic x axis positive ends.
std::string plotLimitsProblem(const PlotLimits& limits, bool logX);

// The ranges as the plot keeps them: the x ends as logarithms on a logarithmic x axis.
PlotLimits plottedLimits(const PlotLimits& limits, bool logX);
// And back into data units for the fields.
PlotLimits shownLimits(const PlotLimits& plotted, bool logX);

}  // namespace lumatix::app
