#include "app/main_frame.h"

#include <algorithm>
#include <filesystem>

#include "app/launch_pad.h"
#include "app/launch_pad_paths.h"
#include "app/main_frame_link.h"
#include "app/ui.h"
#include "app/user_pref.h"

namespace lumatix::app {

MainFrame::MainFrame(Ui& ui, platform::SettingsStore& settings, CUserPref& preferences, PlotWindowMaker maker)
    : ui_(ui), settings_(settings), preferences_(preferences), maker_(std::move(maker)) {
  singleWindow_ = app::singleWindow(settings_);
  allowCaryFiles_ = app::allowCaryFiles(settings_);
  workingDirectory_ = preferences_.workingDirectory;
  status_ = "Ready (Off-line)";
}

MainFrame::~MainFrame() = default;

PlotWindow* MainFrame::openWindow(const std::string& path) {
  if (!maker_) return nullptr;
  return addWindow(maker_(path, false));
}

PlotWindow* MainFrame::addWindow(std::unique_ptr<PlotWindow> window) {
  if (!window) return nullptr;
  windows_.push_back(std::move(window));
  changes_.notify(Change::WindowList);
  return windows_.back().get();
}

PlotWindow* MainFrame::open(const std::string& path) {
  if (PlotWindow* shown = find(path)) {
    shown->activate();
    return shown;
  }
  return openWindow(path);
}

PlotWindow* MainFrame::openAcquisitionWindow(const std::string& path) {
  if (!maker_) return nullptr;
  std::unique_ptr<PlotWindow> window = maker_(path, true);
  if (!window) return nullptr;
  // The new window is the on-line one before the oldest is asked to close: its questions
  // run an event loop in which the link's next notices already arrive for the new window.
  PlotWindow* made = window.get();
  ChangeNotifier::Batch batch(changes_);
  windows_.push_back(std::move(window));
  online_ = made;
  changes_.notify(Change::WindowList);
  if (singleWindow_ && windows_.size() > 1) {
    PlotWindow* oldest = windows_.front().get();
    if (oldest->requestClose()) windowClosed(oldest);
  }
  return made;
}

PlotWindow* MainFrame::find(const std::string& path) const {
  for (const auto& w : windows_)
    if (w->path() == path) return w.get();
  return nullptr;
}

void MainFrame::windowClosed(PlotWindow* window) {
  if (window == online_) online_ = nullptr;
  auto it = std::find_if(windows_.begin(), windows_.end(), [&](const auto& w) { return w.get() == window; });
  if (it == windows_.end()) return;
  // The window may still be running its own code (it closed itself): it is destroyed
  // after the list has been told.
  std::unique_ptr<PlotWindow> leaving = std::move(*it);
  windows_.erase(it);
  changes_.notify(Change::WindowList);
}

void MainFrame::closeAll(bool spareOnline) {
  // Closing may report back through windowClosed; take the list out first.
  std::vector<std::unique_ptr<PlotWindow>> closing;
  closing.swap(windows_);
  std::unique_ptr<PlotWindow> spared;
  for (auto& w : closing) {
    if (spareOnline && w.get() == online_) {
      spared = std::move(w);
      continue;
    }
    w->close();
  }
  const bool closed = closing.size() > (spared ? 1u : 0u);
  if (spared) windows_.push_back(std::move(spared));
  else online_ = nullptr;
  if (closed) changes_.notify(Change::WindowList);
}

std::vector<std::string> MainFrame::windowList() const {
  std::vector<std::string> names;
  for (const auto& w : windows_) {
    std::string path = w->path();
    names.push_back(path.empty() ? w->title() : std::filesystem::path(path).filename().string());
  }
  return names;
}

void MainFrame::selectWindow(std::size_t index) {
  if (index < windows_.size()) windows_[index]->activate();
}

std::string MainFrame::workingDirectoryText() const { return workingDirectoryDisplay(workingDirectory_); }

void MainFrame::setWorkingDirectory(const std::string& folder) {
  if (folder == workingDirectory_) return;
  workingDirectory_ = folder;
  changes_.notify(Change::WorkingDirectory);
}

void MainFrame::follow(LaunchPad& pad) {
  setWorkingDirectory(pad.shownWorkingDirectory());
  padSubscription_ = pad.changes().subscribe([this, &pad](Change what) {
    if (any(what, Change::WorkingDirectory)) setWorkingDirectory(pad.shownWorkingDirectory());
  });
}

void MainFrame::setStatusText(const std::string& text) {
  if (text == status_) return;
  status_ = text;
  changes_.notify(Change::StatusText);
}

void MainFrame::toggleAlwaysOnTop() {
  alwaysOnTop_ = !alwaysOnTop_;
  changes_.notify(Change::Options);
}

void MainFrame::toggleSingleWindow() {
  singleWindow_ = !singleWindow_;
  app::setSingleWindow(settings_, singleWindow_);
  changes_.notify(Change::Options);
}

void MainFrame::toggleAllowCaryFiles() {
  allowCaryFiles_ = !allowCaryFiles_;
  app::setAllowCaryFiles(settings_, allowCaryFiles_);
  changes_.notify(Change::Options);
}

bool MainFrame::close() {
  const char* question = windows_.empty()
                             ? "Are you sure you want to exit the Lumatix Viewer application?\n\n"
                             : "Are you sure?\nAll the graph windows will be closed if the launch pad is closed.\n";
  // Only OK closes: a question that could not be shown (another message is open) keeps the program.
  if (ui_.showMessage(question, kShowMessageCaption, Icon::Information, Buttons::OkCancel) != Answer::Ok)
    return false;
  if (link_ != nullptr) link_->stop();
  online_ = nullptr;
  closeAll();
  preferences_.workingDirectory = workingDirectory_;
  return true;
}

}  // namespace lumatix::app
