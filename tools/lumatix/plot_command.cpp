#include <algorithm>
#include <cctype>
#include <filesystem>

#include "commands.h"
#ifdef LUMATIX_WITH_GUI
#include "gui/plot_picture.h"
#endif
#include "platform/atomic_file.h"
#include "plot/data_set_graph.h"
#include "plot/svg_canvas.h"
#include "trace_choice.h"

namespace lumatix::cli {
namespace {

struct PlotOptions {
  std::string in, out;
  double width = 1000, height = 700;
  bool logX = false, logY = false, grid = false, legend = false;
  TraceChoice choice;
};

std::string lowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  return ext;
}

void plotFile(const PlotOptions& options, const InputOptions& input) {
  const std::string ext = lowerExtension(options.out);
  const bool picture = ext == ".png" || ext == ".pdf";
#ifndef LUMATIX_WITH_GUI
  if (picture)
    throw CommandError("PNG and PDF pictures need the viewer's graphical build; write an .svg file instead.\n");
#endif
  if (ext != ".svg" && !picture)
    throw CommandError("The plot is drawn as SVG, PNG or PDF: give the output file one of the extensions .svg, .png "
                       "or .pdf.\n");

  auto store = loadStore(options.in, input);
  const processing::CDataSet set = loadTraces(*store, options.choice);
  plot::Graph graph;
  graph.setLogX(options.logX);
  graph.setLogY(options.logY);
  graph.setGrid(options.grid);
  graph.setLegend(options.legend);
  plot::showDataSet(graph, set);

#ifdef LUMATIX_WITH_GUI
  // The viewer's own drawing: the QPainter canvas the plot window paints with.
  if (picture) {
    gui::savePlotPicture(graph, options.out, ext == ".png" ? gui::PictureFormat::Png : gui::PictureFormat::Pdf,
                         static_cast<int>(options.width), static_cast<int>(options.height));
    return;
  }
#endif
  plot::SvgCanvas canvas(options.width, options.height);
  graph.Paint(canvas);
  platform::AtomicFile file(options.out);
  file.stream() << canvas.svg();
  file.commit();
}

}  // namespace

void addPlotCommand(CLI::App& app, InputOptions& input) {
  auto* command = app.add_subcommand("plot", "Draw the plot window's graph of a file as an SVG, PNG or PDF picture");
  static PlotOptions options;
  command->add_option("IN", options.in, "Input file")->required();
  command->add_option("-o,--output", options.out, "Output picture (.svg, .png or .pdf)")->required();
  command->add_option("--width", options.width, "Width in pixels")->check(FiniteRange(200.0, 10000.0))->capture_default_str();
  command->add_option("--height", options.height, "Height in pixels")->check(FiniteRange(150.0, 10000.0))->capture_default_str();
  command->add_flag("--log-x", options.logX, "Logarithmic x axis");
  command->add_flag("--log-y", options.logY, "Logarithmic y axis");
  command->add_flag("--grid", options.grid, "Grid lines at the ticks instead of tick marks");
  command->add_flag("--legend", options.legend, "The trace names beside the plot");
  addTraceChoiceOptions(*command, options.choice);
  command->callback([&input] { plotFile(options, input); });
}

}  // namespace lumatix::cli
