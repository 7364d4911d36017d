#pragma once
// The viewer's app::PlotWindowMaker: opens a file (or nothing, for "Empty") into a
// PlotWindow shown on its own, and hands the main frame a handle on it. A window the person
// closes leaves the main frame's list through the handle; the frame's close() destroys the
// window without asking.

#include <QPointer>

#include <functional>
#include <memory>
#include <string>

#include "app/ports.h"
#include "gui/plot_window.h"

namespace lumatix::app {
class MainFrame;
class PlotDocument;
}  // namespace lumatix::app

namespace lumatix::platform {
class SettingsStore;
}

namespace lumatix::gui {

// The main frame's view of one Qt plot window.
class PlotWindowHandle : public app::PlotWindow {
 public:
  // frame: the main frame the window reports its closing to (null when there is none).
  PlotWindowHandle(gui::PlotWindow* window, std::function<app::MainFrame*()> frame);
  ~PlotWindowHandle() override;

  std::string path() const override;
  std::string title() const override;
  void activate() override;
  void close() override;
  bool requestClose() override;

  gui::PlotWindow* window() const { return window_; }

 private:
  QPointer<gui::PlotWindow> window_;
  std::string path_;
};

struct PlotWindowSettings {
  // Cary text files are read only when this says so (the frame's "AllowCaryFiles").
  std::function<bool()> allowCaryFiles = [] { return true; };
  // The machine's 21 CFR Part 11 mode, under which new files are derived.
  std::function<bool()> compliant = [] { return false; };
  // The processing dialogs (Simple Math, Smooth, Convert); without them those commands stay
  // disabled. Not owned; it outlives the windows.
  app::PlotDialogs* dialogs = nullptr;
  // The format the save dialogs of Save Current Plot and Save Selected Traces start with (filter
  // index, from 1); null: the first.
  std::function<int()> saveFormat;
  // The person's preferences, where the fitting dialog keeps its range, function and values;
  // null: the dialog starts from its defaults and keeps nothing.
  std::function<platform::SettingsStore*()> preferences = [] { return nullptr; };
};

// Makes the window of a document, attaches its dialogs and shows it.
std::unique_ptr<PlotWindowHandle> makePlotWindow(std::unique_ptr<app::PlotDocument> document,
                                                 std::function<app::MainFrame*()> frame, app::Ui& ui,
                                                 const PlotWindowSettings& settings = {});

// Attaches to a window what its commands open outside it: the dialogs, further windows. Each
// dialog is one line here.
void attachDialogs(gui::PlotWindow& window, app::Ui& ui, const std::function<app::MainFrame*()>& frame,
                   const PlotWindowSettings& settings);

// The maker the viewer installs: files are read with the loader, cut into the traces their
// saved view names, and shown.
app::PlotWindowMaker plotWindowMaker(app::Ui& ui, std::function<app::MainFrame*()> frame,
                                     PlotWindowSettings settings = {});

// Reads a file into a plot document with its traces; null when it cannot be shown (the person
// was told why).
std::unique_ptr<app::PlotDocument> openPlotDocument(const std::string& path, app::Ui& ui,
                                                    const PlotWindowSettings& settings);

}  // namespace lumatix::gui
