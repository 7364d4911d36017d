// lumatix-viewer [-OnLine] [-SuppressBlank] [-mi] [FILE]: the desktop viewer. Start-up and
// shutdown are CKVViewerApp's; this file joins them to Qt's event loop.
#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "app/command_line_info.h"
#include "app/compliance_settings.h"
#include "app/export_dialog.h"
#include "app/viewer_app.h"
#include "gui/dialog_gallery.h"
#include "gui/main_frame_window.h"
#include "gui/plot_window_gallery.h"
#include "gui/plot_window_maker.h"
#include "gui/qt_plot_dialogs.h"
#include "gui/qt_ui.h"
#include "gui/screenshots.h"
#include "gui/viewer_host.h"

namespace app = lumatix::app;
namespace gui = lumatix::gui;

int main(int argc, char** argv) {
  // Qt takes its own options (-platform, -display...) out of argv first.
  QApplication qt(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(app::kApplicationName));
  QApplication::setOrganizationName(QStringLiteral("Corvane Ltd"));
  QApplication::setQuitOnLastWindowClosed(false);
  const app::CKVCommandLineInfo commandLine = app::CKVCommandLineInfo::parse(argc, argv);

  gui::QtUi ui;
  // Plot windows report their closing to the main frame, which the host makes later.
  gui::ViewerHost* hosting = nullptr;
  auto frameOf = [&hosting]() -> app::MainFrame* {
    return hosting != nullptr && hosting->mainWindow() != nullptr ? &hosting->mainWindow()->frame() : nullptr;
  };
  gui::PlotWindowSettings plotSettings;
  plotSettings.allowCaryFiles = [frameOf] { return frameOf() == nullptr || frameOf()->allowCaryFiles(); };
  plotSettings.compliant = [] { return app::ComplianceSettings::instance().snapshot().cfrCompliant; };
  gui::QtPlotDialogs plotDialogs(ui);
  plotSettings.dialogs = &plotDialogs;
  app::CKVViewerApp* started = nullptr;
  // The save dialogs start with the format last chosen in the export dialog.
  plotSettings.saveFormat = [&started] {
    return started != nullptr && started->settings() != nullptr ? app::storedExportFormat(*started->settings()) + 1 : 1;
  };
  plotSettings.preferences = [&started] { return started != nullptr ? started->settings() : nullptr; };
  gui::ViewerHost host(ui, gui::plotWindowMaker(ui, frameOf, plotSettings));
  hosting = &host;
  app::CKVViewerApp application(ui, host);
  started = &application;
  host.attach(application);

  // LUMATIX_SCREENSHOTS=folder: a run without a person (a build without a display, the
  // picture gallery) saves every window after LUMATIX_SCREENSHOT_DELAY_MS (1500) and ends.
  // The timer starts before start-up, so that a message start-up shows is pictured too and
  // cannot hold the run.
  bool pictured = false;
  if (const char* folder = std::getenv("LUMATIX_SCREENSHOTS"); folder != nullptr && *folder != '\0') {
    const char* delay = std::getenv("LUMATIX_SCREENSHOT_DELAY_MS");
    const int ms = delay != nullptr ? std::atoi(delay) : 1500;
    QTimer::singleShot(ms > 0 ? ms : 1500, &qt, [folder, &pictured] {
      for (const QString& file : gui::saveScreenshots(QString::fromLocal8Bit(folder)))
        std::printf("%s\n", file.toLocal8Bit().constData());
      for (const QString& file : gui::savePlotWindowGallery(QString::fromLocal8Bit(folder)))
        std::printf("%s\n", file.toLocal8Bit().constData());
      // LUMATIX_SCREENSHOT_DIALOGS=MELT:RAMP adds the dialogs, opened on those two files.
      if (const char* files = std::getenv("LUMATIX_SCREENSHOT_DIALOGS"); files != nullptr && *files != '\0') {
        const QStringList pair = QString::fromLocal8Bit(files).split(':');
        if (pair.size() == 2)
          for (const QString& file :
               gui::saveDialogPictures(QString::fromLocal8Bit(folder) + QStringLiteral("/dialogs"), pair[0], pair[1]))
            std::printf("%s\n", file.toLocal8Bit().constData());
      }
      std::fflush(stdout);
      pictured = true;
      QCoreApplication::exit(0);  // quit() would ask each window to close, and the main frame asks first
    });
  }

  if (!application.InitInstance(commandLine)) {
    application.ExitInstance();
    if (application.anotherInstance()) {
      if (application.handedOver()) return 0;
      std::fputs("lumatix-viewer: the running Lumatix Viewer did not answer\n", stderr);
    }
    return 1;
  }
  if (pictured) return application.ExitInstance();
  host.listen(application.instance());
  if (gui::MainFrameWindow* frame = host.mainWindow())
    QObject::connect(frame, &gui::MainFrameWindow::closed, &qt, &QApplication::quit);
  const int status = QApplication::exec();
  return application.ExitInstance() == 0 ? status : 1;
}
