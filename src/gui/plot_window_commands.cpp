// PlotWindow: the commands the window carries out itself, on its document and its view.

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "app/plot_document.h"
#include "app/plot_printout.h"
#include "app/trace_transfer.h"
#include "app/ui.h"
#include "gui/plot_printing.h"
#include "gui/plot_transfer.h"
#include "gui/plot_view.h"
#include "gui/plot_window.h"
#include "gui/window_arrangement.h"
#include "platform/build_info.h"

namespace lumatix::gui {
namespace {

using C = app::PlotMenuCommand;

// The visible plot windows, oldest first (the order they were made in).
std::vector<QWidget*> plotWindows() {
  std::vector<QWidget*> windows;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (qobject_cast<PlotWindow*>(w) != nullptr && w->isVisible()) windows.push_back(w);
  return windows;
}

}  // namespace

bool PlotWindow::ownsCommand(app::PlotMenuCommand command) const {
  switch (command) {
    case C::DataStoreInfo:
    case C::Remarks:
    case C::History:
    case C::SelectionDialog:
    case C::SelectRange:
    case C::Fitting:
    case C::SimpleMath:
    case C::Smooth:
    case C::Convert:
    case C::SetPlotLimits:
    case C::NewWindow:
      return false;
    default:
      return true;
  }
}

void PlotWindow::toggleView(bool app::PlotViewOptions::* option) {
  app::PlotViewOptions options = document_->viewOptions();
  options.*option = !(options.*option);
  document_->setViewOptions(options);
}

bool PlotWindow::runOwn(app::PlotMenuCommand command, int traceUnderPointer) {
  app::PlotDocument& d = *document_;
  switch (command) {
    case C::SaveAll:
      d.saveAll();
      return true;
    case C::SaveCurrentPlot:
      d.saveCurrentPlot();
      return true;
    case C::SaveSelectedTraces:
      d.saveSelectedTraces();
      return true;
    case C::CopyToClipboard:
      copyToClipboard();
      return true;
    case C::Print:
      print();
      return true;
    case C::PrintPreview:
      printPreview();
      return true;
    case C::Close:
    case C::CloseWindow:
      close();
      return true;
    case C::AuxDimensionCtrl:
      toggleView(&app::PlotViewOptions::auxControl);
      return true;
    case C::Legend:
      toggleView(&app::PlotViewOptions::legend);
      return true;
    case C::Grid:
      toggleView(&app::PlotViewOptions::grid);
      return true;
    case C::ShowTraceName:
      toggleView(&app::PlotViewOptions::showTraceName);
      return true;
    case C::XLogarithmic:
      toggleView(&app::PlotViewOptions::logX);
      return true;
    case C::OnlineAutoscale:
      toggleView(&app::PlotViewOptions::onlineAutoscale);
      return true;
    case C::SelectAll:
      d.selectAll();
      return true;
    case C::DeselectAll:
      d.deselectAll();
      return true;
    case C::RemoveSelected:
      view_->interaction().setRemovalRunning(true);
      d.removeSelected();
      return true;
    case C::RemoveUnselected:
      d.removeUnselected();
      return true;
    case C::ToggleBaseline:
      d.toggleBaseline();
      return true;
    case C::AddBaseline:
      d.addBaseline();
      return true;
    case C::SubtractBaseline:
      d.subtractBaseline();
      return true;
    case C::RemoveOverlaidTraces:
      d.removeOverlaidTraces();
      return true;
    case C::RecomputeColours:
      view_->recomputeColours();
      return true;
    case C::Reset:
      d.reset();
      return true;
    case C::Average:
      d.average();
      return true;
    case C::AverageAll:
      d.averageAll();
      return true;
    case C::ResetZoom:
      view_->resetZoom();
      return true;
    case C::Cascade:
      cascadeWindows(plotWindows());
      return true;
    case C::Tile:
      tileWindows(plotWindows());
      return true;
    case C::SetAsBaseline:
      d.setBaseline(traceUnderPointer);
      return true;
    case C::SelectTrace:
      d.select(traceUnderPointer, true);
      return true;
    case C::UnsetBaseline:
      d.unsetBaseline();
      return true;
    case C::ZoomIn:
    case C::ZoomOut:
      view_->zoomStep(command == C::ZoomIn);
      return true;
    default:
      return false;
  }
}

void PlotWindow::copyToClipboard() {
  // The picture of the plot as the view shows it, on its background, with the shown traces.
  const QImage picture = view_->picture(view_->size());
  std::vector<int> everyPresent(document_->dataSet().selected.size(), 1);
  std::unique_ptr<QMimeData> mime;
  try {
    mime = traceMimeData(*document_, document_->dataSet().Subset(everyPresent), picture);
  } catch (const std::exception&) {
    // Traces that cannot be carried (an empty plot) leave the picture alone on the clipboard.
    mime = std::make_unique<QMimeData>();
    mime->setImageData(picture);
  }
  QApplication::clipboard()->setMimeData(mime.release());
}

void PlotWindow::startDrag(const processing::CDataSet& payload) {
  std::unique_ptr<QMimeData> mime;
  try {
    mime = traceMimeData(*document_, payload);
  } catch (const std::exception& e) {
    ui_.showMessage(e.what(), platform::kProductName, app::Icon::Information, app::Buttons::Ok);
    return;
  }
  auto* drag = new QDrag(view_);
  drag->setMimeData(mime.release());
  drag->exec(Qt::CopyAction);
}

void PlotWindow::dropDataSet(const QByteArray& bytes) {
  datastore::smart_ptr<datastore::DataStore> dropped;
  try {
    dropped = app::decodeTraces(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  } catch (const std::exception& e) {
    ui_.showMessage(e.what(), platform::kProductName, app::Icon::Information, app::Buttons::Ok);
    return;
  }
  if (document_->overlayStore(*dropped, app::transferredName(*dropped)) != app::PlotDocument::Overlay::Overlaid &&
      document_->overlaidTraces().size() >= app::kMaxOverlaidTraces)
    document_->tellOverlayFull();
}

bool PlotWindow::printTo(QPrinter& printer, bool remarksAndSettings) {
  app::PrintChoice choice = app::initialPrintChoice(document_->compliant());
  app::setRemarksAndSettings(choice, remarksAndSettings);
  if (!printPages(printer, *view_, app::plotPrintout(*document_, choice))) return false;
  document_->printed();
  return true;
}

void PlotWindow::print() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(windowTitle());
  app::PrintChoice choice = app::initialPrintChoice(document_->compliant());
  std::unique_ptr<QPrintDialog> dialog(makePrintDialog(printer, choice, this));
  if (dialog->exec() != QDialog::Accepted) return;
  if (!printTo(printer, choice.remarksAndSettings))
    ui_.showMessage("The printer could not be started.", platform::kProductName, app::Icon::Information,
                    app::Buttons::Ok);
}

void PlotWindow::printPreview() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(windowTitle());
  app::PrintChoice choice = app::initialPrintChoice(document_->compliant());
  app::PrintChoice everything = choice;
  everything.remarksAndSettings = true;
  std::unique_ptr<QPrintPreviewDialog> dialog(
      makePrintPreview(printer, choice, *view_, app::plotPrintout(*document_, everything), this));
  // The preview prints through its own print button, which accepts the dialog.
  if (dialog->exec() == QDialog::Accepted) document_->printed();
}

}  // namespace lumatix::gui
