// lumatix-viewer [-OnLine] [-SuppressBlank] [-mi] [FILE]: the desktop viewer. Start-up and
// shutdown are CKVViewerApp's; this file joins them to Qt's event loop.
#include <QApplication>

#include <cstdio>

#include "app/command_line_info.h"
#include "app/viewer_app.h"
#include "gui/main_frame_window.h"
#include "gui/qt_ui.h"
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
  gui::ViewerHost host(ui, {});
  app::CKVViewerApp application(ui, host);
  host.attach(application);

  if (!application.InitInstance(commandLine)) {
    application.ExitInstance();
    if (application.anotherInstance()) {
      if (application.handedOver()) return 0;
      std::fputs("lumatix-viewer: the running Lumatix Viewer did not answer\n", stderr);
    }
    return 1;
  }
  host.listen(application.instance());
  if (gui::MainFrameWindow* frame = host.mainWindow())
    QObject::connect(frame, &gui::MainFrameWindow::closed, &qt, &QApplication::quit);
  const int status = QApplication::exec();
  return application.ExitInstance() == 0 ? status : 1;
}
