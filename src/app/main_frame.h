#pragma once
// MainFrame: what the main window decides, without drawing it: the list of open plot
// windows (oldest first), the working-directory copy and its display, the preferences it
// reads, the status text, and the question asked before the program ends. The window
// observes changes(): WindowList, WorkingDirectory, StatusText and Options.

#include <memory>
#include <string>
#include <vector>

#include "app/change_notifier.h"
#include "app/ports.h"

namespace lumatix::platform {
class SettingsStore;
}

namespace lumatix::app {

class CUserPref;
class LaunchPad;
class MainFrameLink;

class MainFrame {
 public:
  // Reads "SingleWindow" and "AllowCaryFiles", copies the working directory and shows
  // "Ready (Off-line)".
  MainFrame(Ui& ui, platform::SettingsStore& settings, CUserPref& preferences, PlotWindowMaker maker);
  ~MainFrame();
  MainFrame(const MainFrame&) = delete;
  MainFrame& operator=(const MainFrame&) = delete;

  // False for a frame made without a plot-window maker, which opens no windows.
  bool opensWindows() const { return static_cast<bool>(maker_); }
  // A new window for the path, appended to the list; null when none could be made.
  PlotWindow* openWindow(const std::string& path);
  // A window made by other means ("New Window...", another plot of a window's store) joins the
  // list.
  PlotWindow* addWindow(std::unique_ptr<PlotWindow> window);
  // Opening a file: the window already showing that exact path is activated instead.
  PlotWindow* open(const std::string& path);
  // "New": an empty window.
  PlotWindow* openEmpty() { return openWindow(""); }
  // A window for an acquisition: it becomes the on-line window; then, with "SingleWindow" on,
  // the oldest other window is asked to close as if the person closed it (its questions may
  // keep it open). Nothing changes when the window cannot be made.
  PlotWindow* openAcquisitionWindow(const std::string& path);
  // The acquisition of the on-line window ended or its link was lost: it is an ordinary
  // window from now on.
  void forgetOnlineWindow() { online_ = nullptr; }
  // A window's path or title changed (an acquisition saved under another name).
  void windowRenamed() { changes_.notify(Change::WindowList); }
  // The first window whose path equals path exactly (case-sensitive); null when none.
  PlotWindow* find(const std::string& path) const;
  // A window that closed itself leaves the list.
  void windowClosed(PlotWindow* window);
  // "Close All Viewer Windows": closes each window in order without questions. The command
  // spares the window still receiving an acquisition, whose data would be lost; closing the
  // program closes it too, after the link was stopped.
  void closeAll(bool spareOnline = false);
  // The drop-down list: the windows' file names, oldest first.
  std::vector<std::string> windowList() const;
  // Selecting an entry of the window list raises that window.
  void selectWindow(std::size_t index);
  std::size_t windowCount() const { return windows_.size(); }
  PlotWindow* onlineWindow() const { return online_; }

  // The copy of the working directory and its tool-bar text.
  const std::string& workingDirectory() const { return workingDirectory_; }
  std::string workingDirectoryText() const;
  void setWorkingDirectory(const std::string& folder);
  // Keeps the copy equal to what the launch pad shows as its working directory.
  void follow(LaunchPad& pad);

  bool singleWindow() const { return singleWindow_; }
  bool allowCaryFiles() const { return allowCaryFiles_; }
  // The two preference commands toggle and write the preference at once.
  void toggleSingleWindow();
  void toggleAllowCaryFiles();
  bool alwaysOnTop() const { return alwaysOnTop_; }
  void toggleAlwaysOnTop();

  const std::string& statusText() const { return status_; }
  void setStatusText(const std::string& text);

  ChangeNotifier& changes() { return changes_; }

  // The link to the control panel, when the frame has one (set by MainFrameLink).
  MainFrameLink* link() const { return link_; }
  void setLink(MainFrameLink* link) { link_ = link; }

  // Closing the main window: asks (OK/Cancel) "Are you sure?\nAll the graph windows will be
  // closed if the launch pad is closed.\n" with windows open, else "Are you sure you want to
  // exit the Lumatix Viewer application?\n\n". Cancel returns false and changes nothing;
  // otherwise the link is stopped, every window is closed and the working directory is
  // written back into the preferences (saved at exit by the application).
  bool close();

 private:
  Ui& ui_;
  platform::SettingsStore& settings_;
  CUserPref& preferences_;
  PlotWindowMaker maker_;
  std::vector<std::unique_ptr<PlotWindow>> windows_;
  PlotWindow* online_ = nullptr;
  MainFrameLink* link_ = nullptr;
  std::string workingDirectory_;
  bool singleWindow_ = true;
  bool allowCaryFiles_ = true;
  bool alwaysOnTop_ = false;
  std::string status_;
  ChangeNotifier changes_;
  ChangeNotifier::Subscription padSubscription_;
};

}  // namespace lumatix::app
