#include "gui/live_fit_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "fitting/fit_funx.h"

namespace lumatix::gui {

LiveFitDialog::LiveFitDialog(const app::LiveFitSettings& current, const std::vector<std::string>& traceNames,
                             QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Live Fit"));
  setObjectName(QStringLiteral("liveFitDialog"));
  function_ = new QComboBox(this);
  function_->setAccessibleName(QStringLiteral("Fitting function"));
  function_->addItem(QStringLiteral("None"), -1);
  const auto& table = fitting::FitFunx();
  for (std::size_t f = 0; f < table.size(); ++f)
    function_->addItem(QString::fromStdString(table[f].name), static_cast<int>(f));
  function_->setCurrentIndex(std::max(0, function_->findData(current.functionIndex)));

  trace_ = new QComboBox(this);
  trace_->setAccessibleName(QStringLiteral("Trace to fit"));
  for (const std::string& name : traceNames) trace_->addItem(QString::fromStdString(name));
  if (traceNames.empty()) trace_->addItem(QStringLiteral("Trace 1"));
  trace_->setCurrentIndex(std::clamp(current.trace, 0, trace_->count() - 1));

  auto* note = new QLabel(QStringLiteral("The fit follows the data as they arrive, from the parameters it last "
                                         "found, and is written into the history when the acquisition ends."),
                          this);
  note->setWordWrap(true);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Function:"), function_);
  form->addRow(QStringLiteral("&Trace:"), trace_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(note);
  layout->addWidget(buttons);
  resize(420, sizeHint().height());
}

app::LiveFitSettings LiveFitDialog::settings() const {
  return {function_->currentData().toInt(), trace_->currentIndex()};
}

}  // namespace lumatix::gui
