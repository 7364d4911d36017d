#pragma once
// The plot window of an acquisition: a plot window over an empty store titled by the path the
// acquisition will be saved under, driven by an OnlinePlotController on the main frame's link.

#include <functional>
#include <memory>
#include <string>

#include "app/ports.h"
#include "gui/online_plot_controller.h"
#include "gui/plot_window_maker.h"

namespace lumatix::gui {

// The main frame's handle on an on-line window: its path and title follow the acquisition
// (saved under another name, they change).
class OnlinePlotWindowHandle : public PlotWindowHandle {
 public:
  OnlinePlotWindowHandle(gui::PlotWindow* window, std::function<app::MainFrame*()> frame,
                         OnlinePlotController* controller);
  std::string path() const override;
  std::string title() const override;
  app::OnlineWindow* onlineWindow() override;
  OnlinePlotController* controller() const { return controller_; }

 private:
  QPointer<OnlinePlotController> controller_;
};

// Null when the frame has no link to receive the acquisition from.
std::unique_ptr<app::PlotWindow> makeOnlinePlotWindow(const std::string& path, app::Ui& ui,
                                                      std::function<app::MainFrame*()> frame,
                                                      const PlotWindowSettings& settings);

}  // namespace lumatix::gui
