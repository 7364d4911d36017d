#include "gui/multi_fit_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "app/fit_session.h"
#include "app/fit_texts.h"
#include "app/plot_document.h"
#include "app/ui.h"
#include "fitting/fit_funx.h"
#include "gui/fit_report_printer.h"
#include "gui/line_plot_widget.h"
#include "gui/plot_window.h"
#include "plot/column_reduction.h"
#include "platform/build_info.h"

namespace lumatix::gui {
namespace {

constexpr std::uint32_t kDataColour = 0xFF0000;   // blue (red | green << 8 | blue << 16)
constexpr std::uint32_t kFitColour = 0x00FF00;    // green
constexpr std::uint32_t kResidualColour = 0x0000FF;  // red

QString text(const std::string& s) { return QString::fromStdString(s); }

// A number typed into a field: the whole text, blanks around it allowed, a finite value.
template <typename T>
std::optional<T> numberIn(const QString& field) {
  const std::string s = field.trimmed().toStdString();
  T value{};
  const char* begin = s.data();
  if (!s.empty() && s.front() == '+') ++begin;
  const auto [end, error] = std::from_chars(begin, s.data() + s.size(), value);
  if (s.empty() || error != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// A range end as the shortest text that reads back as the same single-precision number.
QString floatText(float value) {
  char buffer[32];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
  return QString::fromLatin1(buffer, static_cast<int>(written.ptr - buffer));
}

QString shown(double value) { return text(app::generalText(value, 7)); }

std::vector<std::pair<float, float>> points(const std::vector<double>& x, const std::vector<double>& y) {
  std::vector<std::pair<float, float>> out(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) out[i] = {static_cast<float>(x[i]), static_cast<float>(y[i])};
  return out;
}

QLineEdit* readOut(QWidget* parent, const char* name, const QString& accessible) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QString::fromLatin1(name));
  field->setAccessibleName(accessible);
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::TabFocus);
  field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("-8.888888e-888")) + 12);
  return field;
}

QPushButton* button(const QString& label, const char* name, QWidget* parent) {
  auto* b = new QPushButton(label, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAccessibleName(QString(label).remove('&'));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

MultiFitDialog::MultiFitDialog(app::FitSession& session, const app::FitDialogContext& context, app::Ui& ui,
                               QWidget* parent)
    : QDialog(parent), session_(session), context_(context), ui_(ui) {
  setObjectName(QStringLiteral("fittingDialog"));
  setWindowTitle(text(context_.caption));
  setAccessibleName(tr("Curve Fitting"));
  setModal(true);
  choosePrinter = [this](QPrinter& printer) {
    QPrintDialog dialog(&printer, this);
    return dialog.exec() == QDialog::Accepted;
  };
  ticks_.setInterval(kTickMilliseconds);
  connect(&ticks_, &QTimer::timeout, this, &MultiFitDialog::iterate);
  build();
  subscription_ = session_.changes().subscribe([this](app::Change what) { noticed(what); });
  showData();
  showFunction();
  showParameters();
  showRange();
  schedulePreview();
}

MultiFitDialog::~MultiFitDialog() { ticks_.stop(); }

bool MultiFitDialog::fitting() const { return session_.Fitting(); }

// --- layout ---

void MultiFitDialog::build() {
  auto* columns = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  columns->addLayout(left, 0);
  columns->addWidget(buildPreview(), 1);

  auto* functionLabel = new QLabel(tr("Functio&n:"), this);
  functions_ = new QListWidget(this);
  functions_->setObjectName(QStringLiteral("functionList"));
  functions_->setAccessibleName(tr("Fitting function"));
  functionLabel->setBuddy(functions_);
  for (const auto& f : fitting::FitFunx()) functions_->addItem(text(f.name));
  functions_->setMinimumHeight(120);
  connect(functions_, &QListWidget::currentRowChanged, this, &MultiFitDialog::selectFunction);
  equation_ = new QLabel(this);
  equation_->setObjectName(QStringLiteral("equation"));
  equation_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  left->addWidget(functionLabel);
  left->addWidget(functions_);
  left->addWidget(equation_);
  left->addWidget(buildParameters());

  auto* range = new QGroupBox(tr("Fit range"), this);
  auto* rangeLayout = new QHBoxLayout(range);
  from_ = new QLineEdit(range);
  to_ = new QLineEdit(range);
  from_->setObjectName(QStringLiteral("rangeFrom"));
  to_->setObjectName(QStringLiteral("rangeTo"));
  from_->setAccessibleName(tr("Range from"));
  to_->setAccessibleName(tr("Range to"));
  set_ = button(tr("Set"), "setRange", range);
  reset_ = button(tr("Reset"), "resetRange", range);
  auto* fromLabel = new QLabel(tr("Fro&m:"), range);
  auto* toLabel = new QLabel(tr("&To:"), range);
  fromLabel->setBuddy(from_);
  toLabel->setBuddy(to_);
  for (QWidget* w : std::initializer_list<QWidget*>{fromLabel, from_, toLabel, to_, set_, reset_}) rangeLayout->addWidget(w);
  connect(from_, &QLineEdit::textEdited, this, &MultiFitDialog::updateEnabling);
  connect(to_, &QLineEdit::textEdited, this, &MultiFitDialog::updateEnabling);
  connect(set_, &QPushButton::clicked, this, &MultiFitDialog::setRange);
  connect(reset_, &QPushButton::clicked, this, &MultiFitDialog::resetRange);
  left->addWidget(range);

  auto* options = new QHBoxLayout;
  auto* iterationsLabel = new QLabel(tr("Max. &iterations:"), this);
  maxIterations_ = new QSpinBox(this);
  maxIterations_->setObjectName(QStringLiteral("maxIterations"));
  maxIterations_->setAccessibleName(tr("Maximum iterations"));
  maxIterations_->setRange(1, app::kMaxIterationsLimit);
  iterationsLabel->setBuddy(maxIterations_);
  liveUpdate_ = new QCheckBox(tr("&Live update"), this);
  liveUpdate_->setObjectName(QStringLiteral("liveUpdate"));
  residuals_ = new QCheckBox(tr("Include &residuals"), this);
  residuals_->setObjectName(QStringLiteral("residuals"));
  options->addWidget(iterationsLabel);
  options->addWidget(maxIterations_);
  options->addWidget(liveUpdate_);
  options->addWidget(residuals_);
  options->addStretch();
  connect(maxIterations_, &QSpinBox::valueChanged, this, [this](int n) {
    if (!showing_) session_.SetMaxIterations(n);
  });
  connect(liveUpdate_, &QCheckBox::toggled, this, [this](bool on) {
    if (!showing_) session_.SetLiveUpdate(on);
  });
  connect(residuals_, &QCheckBox::toggled, this, [this](bool on) {
    if (!showing_) session_.SetIncludeResiduals(on);
  });
  left->addLayout(options);

  auto* statistics = new QGridLayout;
  chiSquare_ = readOut(this, "chiSquare", tr("Chi Sq"));
  variance_ = readOut(this, "reducedVariance", tr("Reduced variance"));
  marquardt_ = readOut(this, "marquardtNumber", tr("Marquardt number"));
  iterations_ = readOut(this, "iterations", tr("Iterations"));
  statistics->addWidget(new QLabel(tr("Chi Sq"), this), 0, 0);
  statistics->addWidget(chiSquare_, 0, 1);
  statistics->addWidget(new QLabel(tr("Reduced variance:"), this), 0, 2);
  statistics->addWidget(variance_, 0, 3);
  statistics->addWidget(new QLabel(tr("Marquardt number:"), this), 1, 0);
  statistics->addWidget(marquardt_, 1, 1);
  statistics->addWidget(new QLabel(tr("Iterations:"), this), 1, 2);
  statistics->addWidget(iterations_, 1, 3);
  endReason_ = new QLabel(this);
  endReason_->setObjectName(QStringLiteral("endReason"));
  endReason_->setWordWrap(true);
  endReason_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  endReason_->setMinimumHeight(endReason_->fontMetrics().height() * 2);
  statistics->addWidget(endReason_, 2, 0, 1, 4);
  left->addLayout(statistics);

  auto* commands = new QHBoxLayout;
  estimate_ = button(tr("&Estimate"), "estimate", this);
  fit_ = button(tr("&Fit"), "fit", this);
  evaluation_ = button(tr("Plot Evaluation >>"), "plotEvaluation", this);
  fit_->setDefault(true);
  commands->addWidget(estimate_);
  commands->addWidget(fit_);
  commands->addWidget(evaluation_);
  commands->addStretch();
  connect(estimate_, &QPushButton::clicked, this, &MultiFitDialog::estimate);
  connect(fit_, &QPushButton::clicked, this, &MultiFitDialog::startFit);
  connect(evaluation_, &QPushButton::clicked, this, &MultiFitDialog::plotEvaluation);
  left->addLayout(commands);

  auto* closing = new QHBoxLayout;
  ok_ = button(tr("OK"), "ok", this);
  cancel_ = button(tr("Cancel"), "cancel", this);
  closing->addStretch();
  closing->addWidget(ok_);
  closing->addWidget(cancel_);
  connect(ok_, &QPushButton::clicked, this, &MultiFitDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &MultiFitDialog::reject);
  left->addStretch();
  left->addLayout(closing);
}

QWidget* MultiFitDialog::buildParameters() {
  auto* box = new QGroupBox(tr("Parameters"), this);
  auto* grid = new QGridLayout(box);
  grid->addWidget(new QLabel(tr("Value"), box), 0, 1);
  grid->addWidget(new QLabel(tr("Error"), box), 0, 2);
  grid->addWidget(new QLabel(tr("Lock"), box), 0, 3);
  for (int r = 0; r < kParameterRows; ++r) {
    ParameterRow& row = rows_[static_cast<std::size_t>(r)];
    row.name = new QLabel(box);
    row.value = new QLineEdit(box);
    row.error = readOut(box, "", tr("Error"));
    row.lock = new QCheckBox(box);
    row.value->setObjectName(QStringLiteral("value%1").arg(r));
    row.error->setObjectName(QStringLiteral("error%1").arg(r));
    row.lock->setObjectName(QStringLiteral("lock%1").arg(r));
    row.name->setBuddy(row.value);
    grid->addWidget(row.name, r + 1, 0);
    grid->addWidget(row.value, r + 1, 1);
    grid->addWidget(row.error, r + 1, 2);
    grid->addWidget(row.lock, r + 1, 3);
    connect(row.value, &QLineEdit::textEdited, this, &MultiFitDialog::updateEnabling);
    connect(row.value, &QLineEdit::editingFinished, this, [this] {
      if (!showing_ && !session_.Fitting()) commitValues();
    });
    connect(row.lock, &QCheckBox::toggled, this, [this] {
      if (showing_) return;
      std::vector<std::int32_t> locks(session_.Locks().size(), 0);
      for (std::size_t j = 0; j < locks.size() && j < rows_.size(); ++j) locks[j] = rows_[j].lock->isChecked() ? 1 : 0;
      session_.SetLocks(locks);
    });
  }
  return box;
}

QWidget* MultiFitDialog::buildPreview() {
  auto* panel = new QWidget(this);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  preview_ = new LinePlotWidget(panel);
  preview_->setObjectName(QStringLiteral("preview"));
  preview_->setAccessibleName(tr("Fit preview"));
  residualPlot_ = new LinePlotWidget(panel);
  residualPlot_->setObjectName(QStringLiteral("residualPlot"));
  residualPlot_->setAccessibleName(tr("Residuals"));
  connect(preview_, &LinePlotWidget::resized, this, &MultiFitDialog::schedulePreview);
  connect(residualPlot_, &LinePlotWidget::resized, this, &MultiFitDialog::schedulePreview);
  preview_->setMinimumSize(420, 240);
  residualPlot_->setMinimumSize(420, 140);
  if (!context_.xTitle.empty() || !context_.yTitle.empty())
    preview_->plot().SetTitles(context_.xTitle.empty() ? "X Axis" : context_.xTitle,
                               context_.yTitle.empty() ? "Y Axis" : context_.yTitle);
  residualPlot_->plot().SetTitles(context_.xTitle.empty() ? "X Axis" : context_.xTitle, "Residuals");
  residualPlot_->plot().SetYRange(-0.1f, 0.1f);
  preview_->plot().SetDecimalsFromTicks(true);
  residualPlot_->plot().SetDecimalsFromTicks(true);

  auto* tools = new QHBoxLayout;
  auto tool = [&](const QString& label, const QString& tip, const char* name, auto action) {
    auto* b = new QToolButton(panel);
    b->setText(label);
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    b->setObjectName(QString::fromLatin1(name));
    connect(b, &QToolButton::clicked, this, action);
    tools->addWidget(b);
    return b;
  };
  auto zoomed = [this](auto change) {
    return [this, change] {
      change(preview_->plot());
      showPreview();
    };
  };
  tool(tr("+"), tr("Zoom In"), "zoomIn", zoomed([](plot::CLinePlot& p) { p.ZoomIn(plot::kZoomBoth); }));
  tool(tr("-"), tr("Zoom Out"), "zoomOut", zoomed([](plot::CLinePlot& p) { p.ZoomOut(plot::kZoomBoth); }));
  tool(tr("Reset"), tr("Reset Zoom"), "resetZoom", zoomed([](plot::CLinePlot& p) { p.ResetZoom(); }));
  tool(tr("Undo Zoom"), tr("Undo Zoom"), "undoZoom", zoomed([](plot::CLinePlot& p) { p.UndoZoom(); }));
  tools->addSpacing(12);
  tool(tr("Dots"), tr("Line style: dots"), "styleDots", [this] { setDataLineStyle(plot::kLineStyleDots); });
  tool(tr("Lines"), tr("Line style: lines"), "styleLines", [this] { setDataLineStyle(plot::kLineStyleLines); });
  tool(tr("Both"), tr("Line style: lines and points"), "styleBoth",
       [this] { setDataLineStyle(plot::kLineStyleLinesAndPoints); });
  tools->addStretch();
  print_ = new QPushButton(tr("&Print..."), panel);
  print_->setObjectName(QStringLiteral("print"));
  print_->setToolTip(tr("Print plot"));
  print_->setAccessibleName(tr("Print plot"));
  print_->setAutoDefault(false);
  connect(print_, &QPushButton::clicked, this, &MultiFitDialog::print);
  tools->addWidget(print_);

  layout->addLayout(tools);
  layout->addWidget(preview_, 3);
  layout->addWidget(residualPlot_, 2);
  return panel;
}

// --- from the session to the widgets ---

void MultiFitDialog::noticed(app::Change what) {
  // While a fit runs, a slice of several steps brings several notices: the widgets are filled
  // once, when the window gets round to it. The notices of the fit's end come when it no
  // longer runs and are shown at once.
  pending_ |= what;
  if (!session_.Fitting()) {
    showPending();
  } else if (!refreshQueued_) {
    refreshQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          refreshQueued_ = false;
          showPending();
          // Already once per pass: the preview goes with the rest.
          if (previewPending_) showPreview();
        },
        Qt::QueuedConnection);
  }
}

void MultiFitDialog::showPending() {
  const app::Change what = std::exchange(pending_, app::Change::None);
  if (app::any(what, app::Change::Parameters)) {
    showFunction();
    showParameters();
  }
  if (app::any(what, app::Change::Data)) showRange();
  if (app::any(what, app::Change::View)) schedulePreview();
  if (what != app::Change::None) updateEnabling();
}

void MultiFitDialog::showFunction() {
  showing_ = true;
  if (functions_->currentRow() != session_.FunctionIndex()) functions_->setCurrentRow(session_.FunctionIndex());
  equation_->setText(text(session_.Function().equation));
  showing_ = false;
}

void MultiFitDialog::showParameters() {
  showing_ = true;
  const auto& function = session_.Function();
  const auto& values = session_.Values();
  const auto& errors = session_.Errors();
  const auto& locks = session_.Locks();
  const bool functionChanged = shownFunction_ != session_.FunctionIndex();
  shownFunction_ = session_.FunctionIndex();
  for (std::size_t j = 0; j < rows_.size(); ++j) {
    ParameterRow& row = rows_[j];
    const bool used = j < values.size();
    if (functionChanged) {
      for (QWidget* w : std::initializer_list<QWidget*>{row.name, row.value, row.error, row.lock}) w->setVisible(used);
      const QString name = used && j < function.parameterNames.size() ? text(function.parameterNames[j]) : QString();
      row.name->setText(name);
      row.value->setAccessibleName(name);
      row.lock->setAccessibleName(tr("Lock %1").arg(name));
      row.error->setAccessibleName(tr("Error of %1").arg(name));
    }
    if (!used) continue;
    // A field keeps what the person typed there until the session's value itself changes
    // (a lock toggled meanwhile must not undo an edit not yet handed over).
    const QString now = shown(values[j]);
    if (now != row.shownValue || functionChanged) {
      row.shownValue = now;
      row.value->setText(now);
      row.value->setCursorPosition(0);
    }
    const QString error = j < errors.size() ? shown(errors[j]) : QString();
    if (row.error->text() != error) {
      row.error->setText(error);
      row.error->setCursorPosition(0);
    }
    row.lock->setChecked(j < locks.size() && locks[j] == 1);
  }
  maxIterations_->setValue(session_.MaxIterations());
  liveUpdate_->setChecked(session_.LiveUpdate());
  residuals_->setChecked(session_.IncludeResiduals());
  showing_ = false;
  showStatistics();
}

void MultiFitDialog::showStatistics() {
  const auto show = [](QLineEdit* field, const QString& value) {
    if (field->text() == value) return;
    field->setText(value);
    field->setCursorPosition(0);  // the number's start, not its end, when it is wider than the field
  };
  show(chiSquare_, shown(session_.ReducedChiSquare()));
  show(variance_, shown(session_.NormalisedVariance()));
  show(marquardt_, shown(session_.DampingFactor()));
  show(iterations_, QString::number(session_.Iterations()));
  const QString reason =
      session_.FitWasStarted() ? QString::fromUtf8(fitting::describeEndReason(session_.EndReason())) : QString();
  if (endReason_->text() != reason) endReason_->setText(reason);
}

void MultiFitDialog::showRange() {
  from_->setText(floatText(session_.RangeFrom()));
  to_->setText(floatText(session_.RangeTo()));
}

void MultiFitDialog::showData() {
  plot::CLinePlot& main = preview_->plot();
  main.SetTrace("Data", points(session_.DataX(), session_.DataY()), kDataColour);
  main.SetXRange(session_.DataXMin(), session_.DataXMax());
  main.SetYRange(session_.DataYMin(), session_.DataYMax());
  residualPlot_->plot().SetXRange(session_.DataXMin(), session_.DataXMax());
}

// Several live steps may come between two paints: the preview is taken from the session once,
// when the window gets round to it.
void MultiFitDialog::schedulePreview() {
  if (previewPending_) return;
  previewPending_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (previewPending_) showPreview();  // unless shown meanwhile
      },
      Qt::QueuedConnection);
}

void MultiFitDialog::showPreview() {
  previewPending_ = false;
  const app::FitPreview& p = session_.Preview();
  plot::CLinePlot& main = preview_->plot();
  plot::CLinePlot& residuals = residualPlot_->plot();
  residuals.SetYRange(p.residualLow, p.residualHigh);
  if (p.x.empty()) {
    main.RemoveTrace("Fit");
    residuals.RemoveTrace("Res");
  } else {
    showReduced(*preview_, "Fit", p.x, p.fit, kFitColour);
    showReduced(*residualPlot_, "Res", p.x, p.residuals, kResidualColour);
  }
  preview_->update();
  residualPlot_->update();
}

// A long preview goes to its plot as what the plot's pixel columns can show of it (the first,
// lowest, highest and last point of each), so that a live step costs a few points per column
// and not the whole trace again. A zoom or a new size takes it from the session's preview anew.
void MultiFitDialog::showReduced(LinePlotWidget& widget, const std::string& name, const std::vector<double>& x,
                                 const std::vector<double>& y, std::uint32_t colour) {
  plot::CLinePlot& plot = widget.plot();
  const plot::Rect area = plot.plotArea(widget.width(), widget.height());
  const plot::PlotView& view = plot.view();
  const double pixelsPerUnit = area.width() / (static_cast<double>(view.xTo) - view.xFrom);
  kept_.clear();
  if (std::isfinite(pixelsPerUnit) && pixelsPerUnit > 0)
    plot::reduceToColumns(x.data(), y.data(), 0, x.size(), view.xFrom - area.left / pixelsPerUnit, pixelsPerUnit,
                          kept_);
  buffer_.resize(kept_.size());
  for (std::size_t k = 0; k < kept_.size(); ++k)
    buffer_[k] = {static_cast<float>(x[kept_[k]]), static_cast<float>(y[kept_[k]])};
  plot.SetTrace(name, buffer_, colour);
}

void MultiFitDialog::updateEnabling() {
  const bool idle = !session_.Fitting();
  const bool values = valuesValid();
  functions_->setEnabled(idle);
  for (std::size_t j = 0; j < rows_.size(); ++j) {
    ParameterRow& row = rows_[j];
    row.value->setEnabled(idle);
    row.lock->setEnabled(idle);
    // A field that holds no number says so in red.
    const bool bad = j < session_.Values().size() && !numberIn<double>(row.value->text());
    if (bad != row.shownBad) {
      row.shownBad = bad;
      QPalette palette = row.value->palette();
      palette.setColor(QPalette::Text, bad ? Qt::red : QApplication::palette().color(QPalette::Text));
      row.value->setPalette(palette);
      row.value->setToolTip(bad ? tr("Not a number") : QString());
    }
  }
  from_->setEnabled(idle);
  to_->setEnabled(idle);
  set_->setEnabled(idle && rangeValid());
  reset_->setEnabled(idle);
  maxIterations_->setEnabled(idle);
  residuals_->setEnabled(idle);
  estimate_->setEnabled(idle);
  fit_->setEnabled(idle && values);
  evaluation_->setEnabled(idle && values);
  print_->setEnabled(idle);
  ok_->setEnabled(idle);
}

// --- from the widgets to the session ---

bool MultiFitDialog::valuesValid() const {
  for (std::size_t j = 0; j < session_.Values().size() && j < rows_.size(); ++j)
    if (!numberIn<double>(rows_[j].value->text())) return false;
  return true;
}

bool MultiFitDialog::rangeValid() const { return numberIn<float>(from_->text()) && numberIn<float>(to_->text()); }

bool MultiFitDialog::commitValues() {
  std::vector<double> values = session_.Values();
  bool changed = false, valid = true;
  for (std::size_t j = 0; j < values.size() && j < rows_.size(); ++j) {
    // A field that still shows what the session holds keeps the session's full precision.
    if (rows_[j].value->text() == rows_[j].shownValue) continue;
    if (const auto typed = numberIn<double>(rows_[j].value->text())) {
      values[j] = *typed;
      changed = true;
    } else {
      valid = false;
    }
  }
  if (changed) session_.SetValues(values);
  return valid;
}

void MultiFitDialog::selectFunction(int row) {
  if (showing_ || row < 0 || session_.Fitting()) return;
  session_.SelectFunction(row);
}

void MultiFitDialog::setRange() {
  const auto from = numberIn<float>(from_->text()), to = numberIn<float>(to_->text());
  if (!from || !to || session_.Fitting()) return;
  session_.SetRange(*from, *to);
}

void MultiFitDialog::resetRange() {
  if (!session_.Fitting()) session_.ResetRange();
}

void MultiFitDialog::estimate() {
  if (!session_.Fitting()) session_.Estimate();
}

void MultiFitDialog::plotEvaluation() {
  if (session_.Fitting() || !commitValues()) return;
  session_.PlotEvaluation();
}

void MultiFitDialog::startFit() {
  if (session_.Fitting() || !commitValues()) return;
  if (session_.StartFit() != app::FitProgress::Running) {
    endFit();
    return;
  }
  setCursor(Qt::BusyCursor);
  updateEnabling();
  cancel_->setFocus();
  ticks_.start();
  // The first slice runs at once: a fit that needs less than one slice ends without a pause.
  iterate();
}

void MultiFitDialog::iterate() {
  // A warning shown by the last iteration runs its own event loop, in which ticks go on.
  if (iterating_ || !session_.Fitting()) return;
  iterating_ = true;
  QElapsedTimer clock;
  clock.start();
  app::FitProgress progress = app::FitProgress::Running;
  do {
    progress = session_.Iterate();
  } while (progress == app::FitProgress::Running && clock.elapsed() < kTickMilliseconds);
  iterating_ = false;
  if (progress != app::FitProgress::Running) endFit();
}

void MultiFitDialog::endFit() {
  ticks_.stop();
  unsetCursor();
  updateEnabling();
  fit_->setFocus();
  emit fitEnded();
}

void MultiFitDialog::setDataLineStyle(int style) {
  preview_->plot().SetLineStyle("Data", style);
  preview_->update();
}

void MultiFitDialog::print() {
  if (session_.Fitting()) return;
  QPrinter printer(QPrinter::HighResolution);
  if (!choosePrinter || !choosePrinter(printer)) return;
  if (!printFitReport(printer, app::fitReportLines(session_.Results(), context_.fileName)))
    ui_.showMessage(app::kCannotStartPrintJob, platform::kProductName, app::Icon::Warning, app::Buttons::Ok);
}

// --- ending ---

void MultiFitDialog::accept() {
  if (session_.Fitting()) return;
  commitValues();
  if (session_.Accept())
    QDialog::accept();
  else
    QDialog::reject();
}

void MultiFitDialog::reject() {
  ticks_.stop();
  session_.Close();
  QDialog::reject();
}

bool QtFitDialog::run(app::FitSession& session, const app::FitDialogContext& context) {
  MultiFitDialog dialog(session, context, ui_, parent_);
  return dialog.exec() == QDialog::Accepted;
}

void runFitting(PlotWindow& window, platform::SettingsStore* preferences) {
  QtFitDialog dialog(window.ui(), &window);
  window.document().fit(dialog, preferences);
}

}  // namespace lumatix::gui
