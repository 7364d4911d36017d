#pragma once
// The ports through which the commands of app/ reach what lies outside them: the person, the
// windows, the desktop and the disk. The Qt viewer implements them in src/gui/, the command
// line in tools/lumatix/, the tests with scripts.
//
//   Ui                    app/ui.h            messages, file choosers, log-on, progress
//   PlotDialogs           app/plot_dialogs.h  the plot window's processing dialogs
//   ConvertedFileHandler  app/plot_document.h where a unit conversion's new file goes
//   FitDialog             app/fit_command.h   the curve-fitting dialog over a FitSession
//   ExportDialog          app/launch_pad_export.h  the export format and file name
//   WorkHooks             app/store_output.h  how long work writes and learns it was cancelled
//   PlotWindow            below               a plot window as the main frame holds it
//   PlotWindowMaker       below               makes one for a path
//   MainFrameHost         below               what start-up asks of the main window
//   ChangeNotifier        app/change_notifier.h  how each model tells its windows what changed
//
// Threading: every call on a Ui, a window port or a model of app/ (PlotDocument, MainFrame,
// LaunchPad, FitSession and their ChangeNotifier) happens on the GUI thread. Work that runs on
// a worker thread touches only what it was handed; it reports progress and results by posting
// them to the GUI thread (in the viewer, a queued call on the main window's event loop), and
// it learns of Cancel through WorkHooks::cancelled, which may be called from any thread.
// WorkHooks::write may be called from several worker threads at once.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/change_notifier.h"
#include "app/fit_command.h"
#include "app/launch_pad_export.h"
#include "app/plot_dialogs.h"
#include "app/store_output.h"
#include "app/ui.h"

namespace lumatix::app {

class OnlineWindow;

// A plot window as the main frame sees it; the GUI and the plot document implement it.
class PlotWindow {
 public:
  virtual ~PlotWindow() = default;
  // The file shown ("" for an empty window).
  virtual std::string path() const = 0;
  virtual std::string title() const = 0;
  // Restores and raises the window.
  virtual void activate() = 0;
  // Destroys the window without asking anything.
  virtual void close() = 0;
  // Asks the window to close as the person closing it would: it may ask its questions and
  // stay open. True when it closed (and told the main frame so).
  virtual bool requestClose() = 0;
  // What a window made for an acquisition does with it; null for every other window.
  virtual OnlineWindow* onlineWindow() { return nullptr; }
};

// Makes a plot window for a path ("" for an empty window titled "Empty"); the acquisition
// flag is set for an on-line window. Returns null when the window could not be made (the
// maker has told the person why).
using PlotWindowMaker = std::function<std::unique_ptr<PlotWindow>(const std::string& path, bool acquisition)>;

// What start-up asks of the main window and the desktop.
class MainFrameHost {
 public:
  virtual ~MainFrameHost() = default;
  // Keeps the machine from sleeping while the viewer runs.
  virtual void keepSystemAwake() = 0;
  // Asks the control software to confirm the user; returns after at most 50 ms.
  virtual void broadcastViewerRequest() = 0;
  // Opens the named file in a plot window, or an empty launch pad for an empty name.
  virtual bool openDocument(const std::string& fileName) = 0;
  // Registers a clipboard format with the window system and returns its id.
  virtual std::uint32_t registerClipboardFormat(const std::string& name) = 0;
  // The private go-on-line request to the main frame: posted, or sent and waited for.
  virtual void goOnLine(bool synchronous) = 0;
  // Sets the main window's title when there is a main window.
  virtual void setMainWindowTitle(const std::string& title) = 0;
};

}  // namespace lumatix::app
