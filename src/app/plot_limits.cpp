#include "app/plot_limits.h"

#include <cmath>

namespace lumatix::app {
namespace {

// The smallest range an axis divides into ticks.
constexpr double kSmallestRange = 1e-8;

}  // namespace

std::string plotLimitsProblem(const PlotLimits& limits, bool logX) {
  for (double v : {limits.xFrom, limits.xTo, limits.yFrom, limits.yTo})
    if (!std::isfinite(v)) return "Please enter a number for each limit.";
  if (logX && (limits.xFrom <= 0.0 || limits.xTo <= 0.0))
    return "The X axis is logarithmic: its limits must be greater than 0.";
  const PlotLimits plotted = plottedLimits(limits, logX);
  // A span beyond the doubles would leave the axis without ticks.
  if (!std::isfinite(plotted.xTo - plotted.xFrom)) return "The X limits are too far apart.";
  if (!std::isfinite(plotted.yTo - plotted.yFrom)) return "The Y limits are too far apart.";
  if (std::fabs(plotted.xTo - plotted.xFrom) < kSmallestRange) return "The X limits are too close together.";
  if (std::fabs(plotted.yTo - plotted.yFrom) < kSmallestRange) return "The Y limits are too close together.";
  return "";
}

PlotLimits plottedLimits(const PlotLimits& limits, bool logX) {
  PlotLimits p = limits;
  if (logX) {
    p.xFrom = std::log10(limits.xFrom);
    p.xTo = std::log10(limits.xTo);
  }
  return p;
}

PlotLimits shownLimits(const PlotLimits& plotted, bool logX) {
  PlotLimits p = plotted;
  if (logX) {
    p.xFrom = std::pow(10.0, plotted.xFrom);
    p.xTo = std::pow(10.0, plotted.xTo);
  }
  return p;
}

}  // namespace lumatix::app
