#include "gui/plot_window_maker.h"

#include "app/converted_file.h"
#include "app/main_frame.h"
#include "app/plot_document.h"
#include "app/trace_choice.h"
#include "app/ui.h"
#include "gui/global_fit_dialog.h"
#include "gui/multi_fit_dialog.h"
#include "gui/online_plot_window.h"
#include "gui/plot_dialog_commands.h"
#include "gui/plot_window.h"
#include "gui/svd_dialog.h"
#include "platform/build_info.h"

namespace lumatix::gui {
namespace {

using C = app::PlotMenuCommand;

// A window no main frame keeps: it goes when it is closed.
void showOnItsOwn(std::unique_ptr<app::PlotDocument> document, app::Ui& ui,
                  const std::function<app::MainFrame*()>& frame, const PlotWindowSettings& settings) {
  auto* window = new gui::PlotWindow(std::move(document), ui);
  window->setAttribute(Qt::WA_DeleteOnClose, true);
  attachDialogs(*window, ui, frame, settings);
  window->show();
}

// Opens a file written for the person (a unit conversion's new file) in a plot window of its
// own, through the main frame when there is one.
std::function<bool(const std::string&)> fileOpener(app::Ui& ui, std::function<app::MainFrame*()> frame,
                                                   PlotWindowSettings settings) {
  return [&ui, frame = std::move(frame), settings = std::move(settings)](const std::string& path) {
    if (app::MainFrame* f = frame ? frame() : nullptr) return f->open(path) != nullptr;
    auto document = openPlotDocument(path, ui, settings);
    if (!document) return false;
    showOnItsOwn(std::move(document), ui, frame, settings);
    return true;
  };
}

}  // namespace

PlotWindowHandle::PlotWindowHandle(gui::PlotWindow* window, std::function<app::MainFrame*()> frame)
    : window_(window), path_(window->document().filePath()) {
  QObject::connect(window, &gui::PlotWindow::closed, window, [this, frame = std::move(frame)] {
    // The window is still running its close event: it goes once control is back in the loop.
    if (window_) window_->deleteLater();
    if (app::MainFrame* f = frame ? frame() : nullptr) f->windowClosed(this);
  });
}

PlotWindowHandle::~PlotWindowHandle() {
  if (window_) window_->deleteLater();
}

std::string PlotWindowHandle::path() const { return path_; }

std::string PlotWindowHandle::title() const { return app::plotWindowTitle(path_); }

void PlotWindowHandle::activate() {
  if (!window_) return;
  if (window_->isMinimized()) window_->showNormal();
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void PlotWindowHandle::close() {
  if (!window_) return;
  window_->hide();
  window_->deleteLater();
  window_ = nullptr;
}

bool PlotWindowHandle::requestClose() {
  // A window that closes tells the frame through its closed signal, which may end this handle.
  return !window_ || window_->close();
}

std::unique_ptr<app::PlotDocument> openPlotDocument(const std::string& path, app::Ui& ui,
                                                    const PlotWindowSettings& settings) {
  const bool compliant = settings.compliant ? settings.compliant() : false;
  if (path.empty()) return std::make_unique<app::PlotDocument>(app::emptyPlotStore(), "", ui, compliant);
  auto store = app::openPlotStore(path, settings.allowCaryFiles ? settings.allowCaryFiles() : true, ui);
  if (!store) return nullptr;
  auto document = std::make_unique<app::PlotDocument>(store, path, ui, compliant);
  if (settings.saveFormat) document->setSaveFormatIndex(settings.saveFormat());
  try {
    // The traces the file's saved view names, as the command line cuts them by default.
    document->setDataSet(app::loadTraces(*store, {}));
  } catch (const std::exception& e) {
    ui.showMessage(e.what(), platform::kProductName, app::Icon::Information, app::Buttons::Ok);
    return nullptr;
  }
  return document;
}

void attachDialogs(gui::PlotWindow& window, app::Ui& ui, const std::function<app::MainFrame*()>& frame,
                   const PlotWindowSettings& settings) {
  window.setAllowCaryFiles(settings.allowCaryFiles);
  window.setDialog(C::NewWindow, [&ui, frame, settings](gui::PlotWindow& w) {
    std::unique_ptr<app::PlotDocument> other = w.document().newWindow();
    if (app::MainFrame* f = frame ? frame() : nullptr)
      f->addWindow(makePlotWindow(std::move(other), frame, ui, settings));
    else
      showOnItsOwn(std::move(other), ui, frame, settings);
  });
  if (app::PlotDialogs* dialogs = settings.dialogs) {
    window.setDialog(C::SimpleMath, [dialogs](gui::PlotWindow& w) { w.document().simpleMath(*dialogs); });
    window.setDialog(C::Smooth, [dialogs](gui::PlotWindow& w) { w.document().smooth(*dialogs); });
    auto opener = std::make_shared<app::ConvertedFileOpener>(fileOpener(ui, frame, settings));
    window.setDialog(C::Convert, [dialogs, opener](gui::PlotWindow& w) { w.document().convertUnits(*dialogs, *opener); });
  }
  auto results = std::make_shared<app::ConvertedFileOpener>(fileOpener(ui, frame, settings));
  const ResultOpener open = [results](auto store, const std::string& path) { return results->saveAndOpen(store, path); };
  const auto compliant = settings.compliant;
  window.setDialog(C::GlobalFit, [open, compliant](gui::PlotWindow& w) { runGlobalFitDialog(w, compliant && compliant(), open); });
  window.setDialog(C::Svd, [open, compliant](gui::PlotWindow& w) { runSvdDialog(w, compliant && compliant(), open); });
  // The selection dialog, the visible trace range, the plot limits and the store's texts.
  attachPlotDialogs(window, ui, fileOpener(ui, frame, settings));
  window.setDialog(C::Fitting, [settings](gui::PlotWindow& w) { runFitting(w, settings.preferences()); });
  // Further dialogs attach here, one line each: window.setDialog(C::<command>, <show it for w>).
}

std::unique_ptr<PlotWindowHandle> makePlotWindow(std::unique_ptr<app::PlotDocument> document,
                                                 std::function<app::MainFrame*()> frame, app::Ui& ui,
                                                 const PlotWindowSettings& settings) {
  auto* window = new gui::PlotWindow(std::move(document), ui);
  attachDialogs(*window, ui, frame, settings);
  auto handle = std::make_unique<PlotWindowHandle>(window, std::move(frame));
  window->show();
  return handle;
}

app::PlotWindowMaker plotWindowMaker(app::Ui& ui, std::function<app::MainFrame*()> frame,
                                     PlotWindowSettings settings) {
  return [&ui, frame = std::move(frame), settings = std::move(settings)](
             const std::string& path, bool acquisition) -> std::unique_ptr<app::PlotWindow> {
    if (acquisition) return makeOnlinePlotWindow(path, ui, frame, settings);
    std::unique_ptr<app::PlotDocument> document = openPlotDocument(path, ui, settings);
    if (!document) return nullptr;
    document->setOnline(acquisition);
    return makePlotWindow(std::move(document), frame, ui, settings);
  };
}

}  // namespace lumatix::gui
