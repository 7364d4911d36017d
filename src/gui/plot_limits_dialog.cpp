#include "gui/plot_limits_dialog.h"

#include <QLineEdit>

#include "app/field_text.h"
#include "app/plot_document.h"
#include "gui/plot_view.h"

namespace lumatix::gui {
namespace {

// The axis ends as the ticks show them: six significant digits are enough to start from.
QString shown(double v) { return QString::number(v, 'g', 6); }

}  // namespace

PlotLimitsDialog::PlotLimitsDialog(PlotView& view, QWidget* parent)
    : NumberFieldsDialog(QStringLiteral("plotLimitsDialog"), QString::fromUtf8(app::kPlotLimitsTitle), parent),
      view_(view) {
  const plot::Graph& g = view_.graph();
  const app::PlotLimits now =
      app::shownLimits({g.xAxis().min, g.xAxis().max, g.yAxis().min, g.yAxis().max}, logX());
  addField(tr("&X Minimum:"), shown(now.xFrom));
  addField(tr("X M&aximum:"), shown(now.xTo));
  addField(tr("&Y Minimum:"), shown(now.yFrom));
  addField(tr("Y Ma&ximum:"), shown(now.yTo));
  finish();
}

bool PlotLimitsDialog::logX() const { return view_.document().viewOptions().logX; }

std::optional<app::PlotLimits> PlotLimitsDialog::limits() const {
  std::optional<double> v[4];
  for (int i = 0; i < 4; ++i) {
    v[i] = app::parseNumber(field(i)->text().toStdString());
    if (!v[i]) return std::nullopt;
  }
  return app::PlotLimits{*v[0], *v[1], *v[2], *v[3]};
}

QString PlotLimitsDialog::problem() const {
  auto l = limits();
  if (!l) return tr("Please enter a number for each limit.");
  return QString::fromStdString(app::plotLimitsProblem(*l, logX()));
}

void PlotLimitsDialog::accept() {
  auto l = limits();
  if (!l || !problem().isEmpty()) return;
  const app::PlotLimits plotted = app::plottedLimits(*l, logX());
  view_.graph().setXRange(plotted.xFrom, plotted.xTo);
  view_.graph().setYRange(plotted.yFrom, plotted.yTo);
  view_.update();
  NumberFieldsDialog::accept();
}

}  // namespace lumatix::gui
