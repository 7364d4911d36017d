#include "gui/plot_window_maker.h"

#include "app/main_frame.h"
#include "app/plot_document.h"
#include "app/trace_choice.h"
#include "app/ui.h"
#include "gui/online_plot_window.h"
#include "gui/plot_window.h"
#include "platform/build_info.h"

namespace lumatix::gui {

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
  try {
    // The traces the file's saved view names, as the command line cuts them by default.
    document->setDataSet(app::loadTraces(*store, {}));
  } catch (const std::exception& e) {
    ui.showMessage(e.what(), platform::kProductName, app::Icon::Information, app::Buttons::Ok);
    return nullptr;
  }
  return document;
}

std::unique_ptr<PlotWindowHandle> makePlotWindow(std::unique_ptr<app::PlotDocument> document,
                                                 std::function<app::MainFrame*()> frame, app::Ui& ui) {
  auto* window = new gui::PlotWindow(std::move(document), ui);
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
    return makePlotWindow(std::move(document), frame, ui);
  };
}

}  // namespace lumatix::gui
