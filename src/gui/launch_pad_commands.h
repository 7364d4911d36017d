#pragma once
// The launch pad's commands on a selected file that run long: "Export Data...", "Decompose
// Data..." and "Temperature Ramp Data...". Loading and writing run off the GUI thread with a
// progress dialog and Cancel (BackgroundWork); the dialogs in between run on the GUI thread.
// One command runs at a time; starting another while one runs is refused with a message.

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>

#include "app/temperature_ramp.h"

class QWidget;

namespace lumatix::app {
class Ui;
}
namespace lumatix::datastore {
class DataStore;
}
namespace lumatix::platform {
class SettingsStore;
}

namespace lumatix::gui {

class BackgroundWork;

class LaunchPadCommands : public QObject {
  Q_OBJECT
 public:
  // allowCary: whether the loader reads Cary text files now; rootFolder: where "Save Subsets..."
  // starts (the launch pad's root).
  LaunchPadCommands(app::Ui& ui, platform::SettingsStore& settings, QWidget* window, std::function<bool()> allowCary,
                    std::function<std::string()> rootFolder);
  ~LaunchPadCommands() override;

  void exportData(const std::string& file);
  void decomposeData(const std::string& file);
  void temperatureRamp(const std::string& file);

  bool busy() const;
  BackgroundWork& work() { return *work_; }

 signals:
  // A command ended (done, refused, cancelled or failed), with whether it wrote its files.
  void commandEnded(bool written);

 private:
  using Then = std::function<void(std::shared_ptr<datastore::DataStore>)>;
  // Loads the file off the GUI thread, then hands the store to `then` on the GUI thread (not
  // when the load failed or was cancelled; the person was told).
  void load(const std::string& file, Then then);
  bool refuseWhileBusy();
  void runWrite(std::function<bool(app::Ui&, const app::WorkHooks&)> write);

  app::Ui& ui_;
  platform::SettingsStore& settings_;
  QPointer<QWidget> window_;
  std::function<bool()> allowCary_;
  std::function<std::string()> rootFolder_;
  std::unique_ptr<BackgroundWork> work_;
  app::RampFormat rampFormat_ = app::RampFormat::Csv;
};

}  // namespace lumatix::gui
