#pragma once
// ViewerHost: what start-up asks of the desktop (app::MainFrameHost) and the running
// instance's side of the single-instance rule. It makes the main frame on the first
// openDocument, keeps the machine awake through logind while the viewer runs, asks the
// control software to confirm the user, takes the files later starts hand over, and answers
// the control panel's requests on the same socket (tell it the user, go on-line).

#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QPointer>

#include <map>
#include <memory>

#include "app/ports.h"

class QSocketNotifier;

namespace lumatix::app {
class CKVViewerApp;
}
namespace lumatix::platform {
class SingleInstance;
}

namespace lumatix::gui {

class MainFrameWindow;
class QtUi;

class ViewerHost : public QObject, public app::MainFrameHost {
  Q_OBJECT
 public:
  ViewerHost(QtUi& ui, app::PlotWindowMaker maker);
  ~ViewerHost() override;

  // The application whose settings and preferences the main frame uses.
  void attach(app::CKVViewerApp& application) { app_ = &application; }
  MainFrameWindow* mainWindow() const { return window_; }
  // Listens for the files later starts hand over (none when the rule is off).
  void listen(platform::SingleInstance* instance);

  void keepSystemAwake() override;
  void broadcastViewerRequest() override;
  bool openDocument(const std::string& fileName) override;
  std::uint32_t registerClipboardFormat(const std::string& name) override;
  void goOnLine(bool synchronous) override;
  void setMainWindowTitle(const std::string& title) override;

  // The MIME type a registered clipboard format travels under ("" for an unknown id).
  std::string mimeType(std::uint32_t format) const;
  bool systemKeptAwake() const { return inhibitor_.isValid(); }

 signals:
  // A go-on-line request (start-up's or the control panel's) was passed to the main frame.
  void onLineRequested(bool synchronous);
  // A later start's request was taken (path "" when it named no file, or for a request of
  // the control panel).
  void requestTaken(const QString& path);

 private:
  void takeRequests();

  QtUi& ui_;
  app::PlotWindowMaker maker_;
  app::CKVViewerApp* app_ = nullptr;
  QPointer<MainFrameWindow> window_;
  std::unique_ptr<MainFrameWindow> ownedWindow_;
  platform::SingleInstance* instance_ = nullptr;
  QSocketNotifier* notifier_ = nullptr;
  QDBusUnixFileDescriptor inhibitor_;
  std::map<std::string, std::uint32_t> formats_;
};


}  // namespace lumatix::gui
