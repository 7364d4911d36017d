#include "gui/plot_printing.h"

#include <QCheckBox>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <QVBoxLayout>

#include "gui/plot_view.h"
#include "gui/qpainter_canvas.h"

namespace lumatix::gui {
namespace {

constexpr int kDotsPerInch = 96;

QCheckBox* remarksBox(app::PrintChoice& choice, QWidget* parent) {
  auto* box = new QCheckBox(QObject::tr("Print Remarks and Settings"), parent);
  box->setObjectName(QStringLiteral("printRemarksAndSettings"));
  box->setChecked(choice.remarksAndSettings);
  box->setEnabled(!choice.remarksLocked);
  QObject::connect(box, &QCheckBox::toggled, box, [&choice, box](bool on) {
    app::setRemarksAndSettings(choice, on);
    if (box->isChecked() != choice.remarksAndSettings) box->setChecked(choice.remarksAndSettings);
  });
  return box;
}

// Lines of text from the top of the page down, starting new pages as needed.
class TextPages {
 public:
  TextPages(QPrinter& printer, QPainter& painter, const QRectF& page)
      : printer_(printer), painter_(painter), page_(page), y_(page.top()) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(10);
    painter_.setFont(font);
    lineHeight_ = QFontMetricsF(font, painter_.device()).lineSpacing();
  }
  void line(const QString& text, bool bold = false) {
    if (y_ + lineHeight_ > page_.bottom()) {
      printer_.newPage();
      y_ = page_.top();
    }
    QFont font = painter_.font();
    font.setBold(bold);
    painter_.setFont(font);
    painter_.setPen(Qt::black);
    painter_.drawText(QRectF(page_.left(), y_, page_.width(), lineHeight_), Qt::AlignLeft | Qt::AlignVCenter, text);
    y_ += lineHeight_;
  }
  double y() const { return y_; }
  void skip() { y_ += lineHeight_ / 2; }

 private:
  QPrinter& printer_;
  QPainter& painter_;
  QRectF page_;
  double y_;
  double lineHeight_ = 14;
};

void paintPages(QPrinter& printer, QPainter& painter, PlotView& view, const app::PlotPrintout& printout) {
  const QRectF page = printer.pageRect(QPrinter::DevicePixel).translated(-printer.pageRect(QPrinter::DevicePixel).topLeft());
  TextPages text(printer, painter, page);
  text.line(QString::fromStdString(printout.file), true);
  text.line(QString::fromStdString(printout.date));
  text.skip();
  // The plot in the page's width, as wide as high as the view.
  const double top = text.y();
  const double ratio = view.height() > 0 && view.width() > 0 ? double(view.height()) / view.width() : 0.7;
  const double height = std::min(page.bottom() - top, page.width() * ratio);
  painter.save();
  painter.translate(page.left(), top);
  painter.setClipRect(QRectF(0, 0, page.width(), height));
  view.paintPlot(painter, QSizeF(page.width(), height));
  painter.restore();
  if (!printout.withRemarksAndSettings) return;
  printer.newPage();
  TextPages notes(printer, painter, page);
  notes.line(QStringLiteral("Remarks :"), true);
  for (const auto& l : printout.remarks) notes.line(QString::fromStdString(l));
  notes.skip();
  notes.line(QStringLiteral("History :"), true);
  for (const auto& l : printout.history) notes.line(QString::fromStdString(l));
}

}  // namespace

QPrintDialog* makePrintDialog(QPrinter& printer, app::PrintChoice& choice, QWidget* parent) {
  auto* dialog = new QPrintDialog(&printer, parent);
  dialog->setObjectName(QStringLiteral("printDialog"));
  auto* tab = new QWidget;
  tab->setWindowTitle(QObject::tr("Remarks"));
  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(remarksBox(choice, tab));
  layout->addStretch();
  dialog->setOptionTabs({tab});
  return dialog;
}

QPrintPreviewDialog* makePrintPreview(QPrinter& printer, app::PrintChoice& choice, PlotView& view,
                                      const app::PlotPrintout& withRemarks, QWidget* parent) {
  printer.setResolution(kDotsPerInch);
  auto* dialog = new QPrintPreviewDialog(&printer, parent);
  dialog->setObjectName(QStringLiteral("printPreview"));
  auto* box = remarksBox(choice, dialog);
  if (auto* bar = dialog->findChild<QToolBar*>()) {
    bar->addSeparator();
    bar->addWidget(box);
  }
  QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog, [&choice, &view, withRemarks](QPrinter* p) {
    app::PlotPrintout printout = withRemarks;
    if (!choice.remarksAndSettings) {
      printout.withRemarksAndSettings = false;
      printout.remarks.clear();
      printout.history.clear();
    }
    QPainter painter(p);
    paintPages(*p, painter, view, printout);
  });
  QObject::connect(box, &QCheckBox::toggled, dialog, [dialog] {
    if (auto* preview = dialog->findChild<QPrintPreviewWidget*>()) preview->updatePreview();
  });
  return dialog;
}

bool printPages(QPrinter& printer, PlotView& view, const app::PlotPrintout& printout) {
  printer.setResolution(kDotsPerInch);
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  paintPages(printer, painter, view, printout);
  return painter.end();
}

}  // namespace lumatix::gui
