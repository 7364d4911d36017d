#include "gui/plot_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>

#include "app/plot_document.h"
#include "gui/plot_view.h"

namespace lumatix::gui {

PlotWindow::PlotWindow(std::unique_ptr<app::PlotDocument> document, app::Ui& ui, QWidget* parent)
    : QMainWindow(parent), document_(std::move(document)), ui_(ui) {
  setObjectName(QStringLiteral("plotWindow"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  const QString title = QString::fromStdString(app::plotWindowTitle(document_->filePath()));
  setWindowTitle(title);
  setAccessibleName(title);
  view_ = new PlotView(*document_, ui_, this);
  setCentralWidget(view_);
  view_->setFocus();

  // The read-out bar: the selected trace's values at the cursor.
  readOutX_ = new QLabel(this);
  readOutY_ = new QLabel(this);
  readOutX_->setObjectName(QStringLiteral("readOutX"));
  readOutY_->setObjectName(QStringLiteral("readOutY"));
  readOutX_->setAccessibleName(tr("X value"));
  readOutY_->setAccessibleName(tr("Y value"));
  statusBar()->addWidget(readOutX_);
  statusBar()->addWidget(readOutY_);
  connect(view_, &PlotView::readOut, this, [this](const QString& x, const QString& y) {
    readOutX_->setText(x);
    readOutY_->setText(y);
  });
  resize(800, 600);
}

PlotWindow::~PlotWindow() {
  // The view observes the document: it goes first.
  delete view_;
  view_ = nullptr;
}

void PlotWindow::closeEvent(QCloseEvent* event) {
  if (!document_->close()) {
    event->ignore();
    return;
  }
  event->accept();
  emit closed();
}

}  // namespace lumatix::gui
