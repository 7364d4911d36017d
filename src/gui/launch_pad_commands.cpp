#include "gui/launch_pad_commands.h"

#include <QWidget>

#include "app/decompose_dialog.h"
#include "app/export_dialog.h"
#include "app/store_output.h"
#include "app/ui.h"
#include "app/user_pref.h"
#include "app/viewer_app.h"
#include "datastore/data_store.h"
#include "gui/background_work.h"
#include "gui/decompose_data_dialog.h"
#include "gui/export_data_dialog.h"
#include "gui/temperature_ramp_dialog.h"
#include "platform/event_log.h"
#include "platform/settings_store.h"

namespace lumatix::gui {

LaunchPadCommands::LaunchPadCommands(app::Ui& ui, platform::SettingsStore& settings, QWidget* window,
                                     std::function<bool()> allowCary, std::function<std::string()> rootFolder)
    : QObject(window),
      ui_(ui),
      settings_(settings),
      window_(window),
      allowCary_(std::move(allowCary)),
      rootFolder_(std::move(rootFolder)),
      work_(std::make_unique<BackgroundWork>(ui, window, tr("Lumatix Viewer"))) {}

LaunchPadCommands::~LaunchPadCommands() = default;

bool LaunchPadCommands::busy() const { return work_->running(); }

bool LaunchPadCommands::refuseWhileBusy() {
  if (!busy()) return false;
  ui_.showMessage("Please wait for the current export, decomposition or temperature ramp to finish.",
                  app::kShowMessageCaption, app::Icon::Information, app::Buttons::Ok);
  return true;
}

void LaunchPadCommands::load(const std::string& file, Then then) {
  auto loaded = std::make_shared<std::shared_ptr<datastore::DataStore>>();
  const bool allowCary = allowCary_ ? allowCary_() : true;
  auto connection = std::make_shared<QMetaObject::Connection>();
  *connection = connect(work_.get(), &BackgroundWork::finished, this, [this, loaded, then, connection] {
    disconnect(*connection);
    if (*loaded && !work_->cancelled()) {
      then(*loaded);
    } else {
      emit commandEnded(false);
    }
  });
  work_->start([file, allowCary, loaded](app::Ui& ui, const app::WorkHooks&) {
    ui.progress("Loading " + file, 0.0);
    std::unique_ptr<datastore::DataStore> store = app::loadSelectedFile(file, allowCary, ui);
    *loaded = std::shared_ptr<datastore::DataStore>(std::move(store));
  });
}

void LaunchPadCommands::runWrite(std::function<bool(app::Ui&, const app::WorkHooks&)> write) {
  auto written = std::make_shared<bool>(false);
  auto connection = std::make_shared<QMetaObject::Connection>();
  *connection = connect(work_.get(), &BackgroundWork::finished, this, [this, written, connection] {
    disconnect(*connection);
    emit commandEnded(*written);
  });
  work_->start([write = std::move(write), written](app::Ui& ui, const app::WorkHooks& hooks) {
    *written = write(ui, hooks);
  });
}

void LaunchPadCommands::exportData(const std::string& file) {
  if (refuseWhileBusy()) return;
  load(file, [this, file](std::shared_ptr<datastore::DataStore> store) {
    app::ExportDialogModel model(file, app::storedExportFormat(settings_));
    ExportDataDialog dialog(model, ui_, window_);
    if (dialog.exec() != QDialog::Accepted) {
      emit commandEnded(false);
      return;
    }
    try {
      app::rememberExportFormat(settings_, model.format());
    } catch (const std::exception& e) {
      ui_.showMessage(e.what(), app::kShowMessageCaption, app::Icon::Warning, app::Buttons::Ok);
    }
    const app::ExportRequest request = model.request();
    runWrite([store, request, file](app::Ui& ui, const app::WorkHooks&) {
      ui.progress("Exporting to " + request.path, 0.0);
      if (!app::exportStore(*store, request, ui)) return false;
      // The dialog told the person that the export is recorded.
      platform::CEventLog log(app::kApplicationName);
      log.Report(app::exportRecordText(file, request));
      return true;
    });
  });
}

void LaunchPadCommands::decomposeData(const std::string& file) {
  if (refuseWhileBusy()) return;
  load(file, [this](std::shared_ptr<datastore::DataStore> store) {
    app::DecomposeDialogModel model(*store, rootFolder_ ? rootFolder_() : std::string());
    DecomposeDataDialog dialog(model, ui_, window_);
    if (dialog.exec() != QDialog::Accepted) {
      emit commandEnded(false);
      return;
    }
    runWrite([store, rows = model.choices(), folder = dialog.target()](app::Ui& ui, const app::WorkHooks& hooks) {
      return app::decomposeStore(*store, rows, folder, ui, hooks);
    });
  });
}

void LaunchPadCommands::temperatureRamp(const std::string& file) {
  if (refuseWhileBusy()) return;
  load(file, [this, file](std::shared_ptr<datastore::DataStore> store) {
    // A file that cannot be extracted is refused before the dialog offers anything.
    const std::string refusal = app::rampRefusal(*store, file);
    if (!refusal.empty()) {
      ui_.showMessage(refusal, app::kShowMessageCaption, app::Icon::Warning, app::Buttons::Ok);
      emit commandEnded(false);
      return;
    }
    TemperatureRampDialog dialog(ui_, rampFormat_, window_);
    if (dialog.exec() != QDialog::Accepted) {
      emit commandEnded(false);
      return;
    }
    rampFormat_ = dialog.format();
    runWrite([store, file, format = dialog.format(), output = dialog.outputPath()](app::Ui& ui,
                                                                                   const app::WorkHooks& hooks) {
      return app::extractTemperatureRamp(*store, file, format, output, ui, hooks) == app::RampOutcome::Done;
    });
  });
}

}  // namespace lumatix::gui
