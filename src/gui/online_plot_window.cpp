#include "gui/online_plot_window.h"

#include "app/main_frame.h"
#include "app/main_frame_link.h"
#include "app/online_window.h"
#include "app/plot_document.h"
#include "gui/online_plot_controller.h"
#include "gui/plot_window.h"

namespace lumatix::gui {

OnlinePlotWindowHandle::OnlinePlotWindowHandle(gui::PlotWindow* window, std::function<app::MainFrame*()> frame,
                                               OnlinePlotController* controller)
    : PlotWindowHandle(window, std::move(frame)), controller_(controller) {}

std::string OnlinePlotWindowHandle::path() const {
  return controller_ ? controller_->model().path() : PlotWindowHandle::path();
}

std::string OnlinePlotWindowHandle::title() const {
  return controller_ ? controller_->model().title() : PlotWindowHandle::title();
}

app::OnlineWindow* OnlinePlotWindowHandle::onlineWindow() { return controller_ ? &controller_->model() : nullptr; }

std::unique_ptr<app::PlotWindow> makeOnlinePlotWindow(const std::string& path, app::Ui& ui,
                                                      std::function<app::MainFrame*()> frame,
                                                      const PlotWindowSettings& settings) {
  app::MainFrame* mainFrame = frame ? frame() : nullptr;
  app::MainFrameLink* link = mainFrame != nullptr ? mainFrame->link() : nullptr;
  if (link == nullptr) return nullptr;
  // The store is the link's from the header on; until then the window shows nothing.
  auto document = std::make_unique<app::PlotDocument>(app::emptyPlotStore(), path, ui,
                                                      settings.compliant ? settings.compliant() : false);
  document->setOnline(true);
  auto* window = new gui::PlotWindow(std::move(document), ui);
  auto* controller =
      new OnlinePlotController(*window, std::make_unique<app::OnlineWindow>(link->clientInfo(), ui, path), frame);
  auto handle = std::make_unique<OnlinePlotWindowHandle>(window, std::move(frame), controller);
  window->show();
  return handle;
}

}  // namespace lumatix::gui
