#include "gui/visible_trace_range_dialog.h"

#include <QLineEdit>

#include "app/field_text.h"
#include "app/plot_document.h"

namespace lumatix::gui {

VisibleTraceRangeDialog::VisibleTraceRangeDialog(app::PlotDocument& document, QWidget* parent)
    : NumberFieldsDialog(QStringLiteral("visibleTraceRangeDialog"), QStringLiteral("Visible Trace Range"), parent),
      document_(document) {
  addField(tr("&Start Trace"), QStringLiteral("1"));
  addField(tr("&End Trace"), QString::number(std::max(1, document_.dataSet().TraceCount())));
  addField(tr("S&tep"), QStringLiteral("1"));
  finish();
}

std::optional<app::VisibleTraceRange> VisibleTraceRangeDialog::range() const {
  auto start = app::parseWholeNumber(field(0)->text().toStdString());
  auto end = app::parseWholeNumber(field(1)->text().toStdString());
  auto step = app::parseWholeNumber(field(2)->text().toStdString());
  if (!start || !end || !step) return std::nullopt;
  return app::VisibleTraceRange{*start, *end, *step};
}

QString VisibleTraceRangeDialog::problem() const {
  auto r = range();
  if (!r) return tr("Start Trace, End Trace and Step must be whole numbers of at least 1.");
  return QString::fromStdString(app::visibleTraceRangeProblem(*r, document_.dataSet().TraceCount()));
}

void VisibleTraceRangeDialog::accept() {
  auto r = range();
  if (!r || !problem().isEmpty()) return;
  document_.showTraceRange(r->start, r->end, r->step);
  NumberFieldsDialog::accept();
}

}  // namespace lumatix::gui
