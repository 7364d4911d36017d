#include "gui/global_fit_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>

#include "app/fit_texts.h"
#include "app/plot_document.h"
#include "fitting/fit_funx.h"
#include "gui/plot_window.h"
#include "platform/build_info.h"
#include "processing/data_set.h"

namespace lumatix::gui {
namespace {

enum Column { kName, kShared, kLocked, kStart, kValue, kError, kColumns };

QTableWidgetItem* checkItem(bool on) {
  auto* item = new QTableWidgetItem;
  item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
  item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
  return item;
}

QTableWidgetItem* textItem(const std::string& text, bool editable) {
  auto* item = new QTableWidgetItem(QString::fromStdString(text));
  item->setFlags(editable ? Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsSelectable : Qt::ItemIsEnabled);
  return item;
}

bool parseNumber(const std::string& text, double& value) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  while (begin < end && *begin == ' ') ++begin;
  while (end > begin && end[-1] == ' ') --end;
  const auto [stop, error] = std::from_chars(begin, end, value);
  return begin != end && error == std::errc() && stop == end && std::isfinite(value);
}

std::string traceList(const processing::CDataSet& set, const std::vector<int>& selection) {
  std::string names;
  int count = 0;
  for (std::size_t t = 0; t < selection.size(); ++t) {
    if (selection[t] != 1) continue;
    if (++count <= 8) names += (names.empty() ? "" : ", ") + set.traceNames[t];
  }
  if (count > 8) names += ", ...";
  return std::to_string(count) + " traces: " + names;
}

}  // namespace

GlobalFitDialog::GlobalFitDialog(const processing::CDataSet& set, std::vector<int> selection, app::Ui& ui,
                                 QWidget* parent)
    : QDialog(parent), set_(set), selection_(std::move(selection)), ui_(ui) {
  setObjectName("globalFitDialog");
  setWindowTitle("Global Fitting");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromStdString(traceList(set_, selection_)), this));

  auto* form = new QFormLayout;
  function_ = new QComboBox(this);
  for (const auto& f : fitting::FitFunx()) function_->addItem(QString::fromStdString(f.name));
  form->addRow("Function:", function_);
  layout->addLayout(form);

  table_ = new QTableWidget(0, kColumns, this);
  // A local parameter has a value per trace; the table shows the first trace's, and the new
  // window's "Global Fitting" entry lists them all.
  table_->setHorizontalHeaderLabels({"Parameter", "Shared", "Locked", "Start", "Value (first trace)", "Error"});
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table_->setMinimumWidth(560);
  layout->addWidget(table_, 1);

  estimate_ = new QCheckBox("Start every trace from its own estimate", this);
  estimate_->setChecked(true);
  layout->addWidget(estimate_);
  auto* options = new QHBoxLayout;
  options->addWidget(new QLabel("Maximum iterations:", this));
  iterations_ = new QSpinBox(this);
  iterations_->setRange(1, 1000);
  iterations_->setValue(app::kDefaultGlobalIterations);
  options->addWidget(iterations_);
  residuals_ = new QCheckBox("Include residuals", this);
  residuals_->setChecked(true);
  options->addWidget(residuals_);
  options->addStretch();
  layout->addLayout(options);

  status_ = new QLabel(this);
  status_->setWordWrap(true);
  status_->setMinimumHeight(3 * status_->fontMetrics().lineSpacing());
  status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  layout->addWidget(status_);

  auto* buttons = new QDialogButtonBox(this);
  fit_ = buttons->addButton("&Fit", QDialogButtonBox::ActionRole);
  stop_ = buttons->addButton("&Stop", QDialogButtonBox::ActionRole);
  ok_ = buttons->addButton(QDialogButtonBox::Ok);
  buttons->addButton(QDialogButtonBox::Cancel);
  layout->addWidget(buttons);

  timer_ = new QTimer(this);
  timer_->setInterval(0);
  connect(timer_, &QTimer::timeout, this, &GlobalFitDialog::step);
  connect(function_, &QComboBox::currentIndexChanged, this, &GlobalFitDialog::showFunction);
  connect(estimate_, &QCheckBox::toggled, this, [this] { showFunction(function_->currentIndex()); });
  connect(fit_, &QPushButton::clicked, this, [this] { startFit(); });
  connect(stop_, &QPushButton::clicked, this, &GlobalFitDialog::stop);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, [this] {
    stop();
    reject();
  });

  // The melt's model for a melt, else the single exponential.
  const bool melt = set_.xDimName.rfind("Temperature", 0) == 0;
  function_->setCurrentIndex(melt ? static_cast<int>(fitting::FitFunx().size()) - 1 : 1);
  showFunction(function_->currentIndex());
  resize(660, 520);
}

GlobalFitDialog::~GlobalFitDialog() = default;

bool GlobalFitDialog::fitting() const { return timer_->isActive(); }

void GlobalFitDialog::showFunction(int index) {
  if (index < 0) return;
  const auto& function = fitting::FitFunx()[static_cast<std::size_t>(index)];
  const std::vector<bool> shared = app::defaultSharedParameters(function);
  table_->setRowCount(static_cast<int>(function.parameterNames.size()));
  for (int j = 0; j < table_->rowCount(); ++j) {
    table_->setItem(j, kName, textItem(function.parameterNames[static_cast<std::size_t>(j)], false));
    table_->setItem(j, kShared, checkItem(shared[static_cast<std::size_t>(j)]));
    table_->setItem(j, kLocked, checkItem(false));
    table_->setItem(j, kStart, textItem(estimate_->isChecked() ? "estimate" : "0", !estimate_->isChecked()));
    table_->setItem(j, kValue, textItem("", false));
    table_->setItem(j, kError, textItem("", false));
  }
  results_.reset();
  status_->setText(QString::fromStdString(function.equation));
  updateButtons();
}

std::optional<app::GlobalFitSettings> GlobalFitDialog::settings() {
  app::GlobalFitSettings s;
  s.functionIndex = function_->currentIndex();
  s.maxIterations = iterations_->value();
  s.includeResiduals = residuals_->isChecked();
  for (int j = 0; j < table_->rowCount(); ++j) {
    s.shared.push_back(table_->item(j, kShared)->checkState() == Qt::Checked);
    s.locks.push_back(table_->item(j, kLocked)->checkState() == Qt::Checked ? 1 : 0);
    if (estimate_->isChecked()) continue;
    double value = 0.0;
    const std::string text = table_->item(j, kStart)->text().toStdString();
    if (!parseNumber(text, value)) {
      ui_.showMessage("The start value of " + table_->item(j, kName)->text().toStdString() + " is not a number: \"" +
                          text + "\".",
                      platform::kProductName, app::Icon::Warning, app::Buttons::Ok);
      return std::nullopt;
    }
    s.start.push_back(value);
  }
  return s;
}

bool GlobalFitDialog::startFit() {
  if (fitting()) return false;
  const auto s = settings();
  if (!s) return false;
  try {
    session_ = std::make_unique<app::GlobalFitSession>(set_, selection_, *s);
  } catch (const std::exception& e) {
    ui_.showMessage(e.what(), platform::kProductName, app::Icon::Warning, app::Buttons::Ok);
    return false;
  }
  results_.reset();
  status_->setText("Fitting...");
  timer_->start();
  updateButtons();
  return true;
}

void GlobalFitDialog::step() {
  if (!session_) return;
  if (session_->Iterate()) {
    status_->setText(QString("Iteration %1 of at most %2").arg(session_->Iterations()).arg(session_->MaxIterations()));
    return;
  }
  timer_->stop();
  results_ = session_->Results();
  session_.reset();
  showResults();
  updateButtons();
  emit fitEnded();
}

void GlobalFitDialog::stop() {
  if (!fitting()) return;
  timer_->stop();
  session_.reset();
  status_->setText("The fit was stopped; nothing was taken over.");
  updateButtons();
}

void GlobalFitDialog::showResults() {
  const auto& r = *results_;
  for (int j = 0; j < table_->rowCount(); ++j) {
    const auto jj = static_cast<std::size_t>(j);
    // A shared value is the same for every trace; a local one is shown for the first trace.
    table_->item(j, kValue)->setText(QString::fromStdString(app::generalText(r.values[0][jj], 7)));
    table_->item(j, kError)->setText(QString::fromStdString(app::generalText(r.errors[0][jj], 3)));
  }
  std::string text = std::string(fitting::describeEndReason(r.reason)) + " Iterations: " + std::to_string(r.iterations) +
                     ", reduced chi-square: " + app::generalText(r.reducedChiSquare, 7) + ".";
  if (!r.converged) text = "Warning! " + text;
  status_->setText(QString::fromStdString(text));
}

void GlobalFitDialog::updateButtons() {
  const bool running = fitting();
  fit_->setEnabled(!running);
  stop_->setEnabled(running);
  ok_->setEnabled(!running && results_.has_value());
  function_->setEnabled(!running);
  table_->setEnabled(!running);
  estimate_->setEnabled(!running);
  iterations_->setEnabled(!running);
  residuals_->setEnabled(!running);
}

void runGlobalFitDialog(PlotWindow& window, bool compliantNow, const ResultOpener& open) {
  app::PlotDocument& document = window.document();
  const processing::CDataSet& set = document.dataSet();
  std::vector<int> selection = document.selection();
  if (document.selectedCount() < 2)
    for (std::size_t t = 0; t < selection.size(); ++t)
      selection[t] = set.traceState[t] == processing::kTracePresent ? 1 : 0;
  GlobalFitDialog dialog(set, selection, window.ui(), &window);
  if (dialog.exec() != QDialog::Accepted || !dialog.results()) return;
  try {
    datastore::smart_ptr<datastore::DataStore> store(
        app::globalFitResultStore(set, *dialog.results(), *document.store(), document.filePath(), compliantNow)
            .release());
    if (!open(store, document.convertedFileName("global-fit")))
      window.ui().showMessage("The results could not be saved and opened.", platform::kProductName,
                              app::Icon::Warning, app::Buttons::Ok);
  } catch (const std::exception& e) {
    window.ui().showMessage(std::string("global fit failure (") + e.what() + ")", platform::kProductName,
                            app::Icon::Warning, app::Buttons::Ok);
  }
}

}  // namespace lumatix::gui
