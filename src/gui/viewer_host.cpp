#include "gui/viewer_host.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QSocketNotifier>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/compliance_settings.h"
#include "app/viewer_app.h"
#include "gui/main_frame_window.h"
#include "gui/qt_ui.h"
#include "platform/local_message.h"
#include "platform/single_instance.h"

namespace lumatix::gui {

namespace {
// The control software's time to answer the viewer's request.
constexpr int kViewerRequestMs = 50;
// Registered formats are numbered like the window system numbers them, from 0xC000.
constexpr std::uint32_t kFirstFormat = 0xC000;

const std::map<std::string, std::string>& formatMimeTypes() {
  static const std::map<std::string, std::string> types{
      {"_DATASET_FORMAT_", "application/x-lumatix-dataset"},
      {"_DATASTORE_FORMAT_", "application/x-lumatix-datastore"},
  };
  return types;
}
}  // namespace

ViewerHost::ViewerHost(QtUi& ui, app::PlotWindowMaker maker) : ui_(ui), maker_(std::move(maker)) {}

ViewerHost::~ViewerHost() = default;

void ViewerHost::keepSystemAwake() {
  // logind holds the machine awake for as long as the returned descriptor stays open.
  QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.login1"),
                                                     QStringLiteral("/org/freedesktop/login1"),
                                                     QStringLiteral("org.freedesktop.login1.Manager"),
                                                     QStringLiteral("Inhibit"));
  call << QStringLiteral("sleep:idle") << QStringLiteral("Lumatix Viewer")
       << QStringLiteral("Receiving and showing measurements") << QStringLiteral("block");
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return;  // no system bus (a container, a test): nothing to hold
  QDBusReply<QDBusUnixFileDescriptor> reply = bus.call(call, QDBus::Block, 1000);
  if (reply.isValid()) inhibitor_ = reply.value();
}

void ViewerHost::broadcastViewerRequest() {
  using Clock = std::chrono::steady_clock;
  const auto until = Clock::now() + std::chrono::milliseconds(kViewerRequestMs);
  std::string path;
  try {
    path = platform::controlPanelSocketPath();
  } catch (const std::exception&) {
    return;  // no runtime folder: no control software to ask
  }
  // The control software gets 50 ms; one that does not answer in time is not waited for. Its
  // receipt comes after it wrote the name into its pipe, whose listener then confirms the user.
  if (!platform::sendLocalMessage(path, std::string(platform::kViewerRequestAuthMessage) + "\n", kViewerRequestMs))
    return;
  while (!app::ComplianceSettings::instance().snapshot().controlPanelConfirmedUser && Clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

bool ViewerHost::openDocument(const std::string& fileName) {
  if (!window_) {
    if (app_ == nullptr || app_->settings() == nullptr) return false;
    ownedWindow_ = std::make_unique<MainFrameWindow>(ui_, *app_->settings(), app_->userPref(), maker_);
    window_ = ownedWindow_.get();
    ui_.setParent(window_);
    window_->show();
  }
  if (!fileName.empty()) {
    std::error_code e;
    // Windows are found by their exact path: name the file as the tree names it.
    window_->openFile(std::filesystem::absolute(fileName, e).lexically_normal().string());
  }
  return true;
}

std::uint32_t ViewerHost::registerClipboardFormat(const std::string& name) {
  auto it = formats_.find(name);
  if (it != formats_.end()) return it->second;
  const auto id = static_cast<std::uint32_t>(kFirstFormat + formats_.size());
  formats_[name] = id;
  return id;
}

std::string ViewerHost::mimeType(std::uint32_t format) const {
  for (const auto& [name, id] : formats_) {
    if (id != format) continue;
    auto known = formatMimeTypes().find(name);
    return known == formatMimeTypes().end() ? "" : known->second;
  }
  return "";
}

void ViewerHost::goOnLine(bool synchronous) {
  if (window_) {
    if (synchronous) {
      window_->link().goOnLineLocal();
    } else {
      QMetaObject::invokeMethod(window_, [window = window_] {
        if (window) window->link().goOnLineLocal();
      }, Qt::QueuedConnection);
    }
  }
  emit onLineRequested(synchronous);
}

void ViewerHost::setMainWindowTitle(const std::string& title) {
  if (window_) window_->setWindowTitle(QString::fromStdString(title));
}

void ViewerHost::listen(platform::SingleInstance* instance) {
  delete notifier_;
  notifier_ = nullptr;
  instance_ = instance;
  if (instance_ == nullptr || instance_->socketFd() < 0) return;
  notifier_ = new QSocketNotifier(instance_->socketFd(), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &ViewerHost::takeRequests);
}

void ViewerHost::takeRequests() {
  using Request = platform::SingleInstance::Request;
  while (auto request = instance_->takeRequest(0)) {
    switch (request->request) {
      case Request::OpenWindow:
        if (window_) {
          window_->raiseWindow();
          if (!request->fileName.empty()) window_->openFile(request->fileName);
        }
        break;
      case Request::ControlRequestAuth:
        if (app_ != nullptr) app_->answerControlPanelAuthRequest();
        break;
      case Request::ControlPanelRequestConnect:
        goOnLine(false);
        break;
    }
    emit requestTaken(QString::fromStdString(request->fileName));
  }
}

}  // namespace lumatix::gui
