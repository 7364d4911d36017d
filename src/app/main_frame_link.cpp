#include "app/main_frame_link.h"

#include "app/main_frame.h"
#include "app/online_window.h"
#include "app/ui.h"
#include "app/user_pref.h"
#include "link/grpc_control_panel_client.h"
#include "link/link_state.h"
#include "platform/build_info.h"
#include "platform/settings_store.h"

namespace lumatix::app {

namespace il = instrument_link;

std::uint16_t controlPanelPort(platform::SettingsStore& settings) {
  const int port = settings.getInt(kPreferences, kControlPanelPortKey, il::kDefaultControlPanelPort);
  return port > 0 && port <= 65535 ? static_cast<std::uint16_t>(port) : il::kDefaultControlPanelPort;
}

il::ClientFactory controlPanelClientFactory(platform::SettingsStore& settings) {
  // The file is named now and read on the link thread, at each going on-line.
  const std::string ca = settings.getString(kPreferences, kControlPanelCaKey, "");
  return [ca](const il::ServerAddress& address) {
    il::ClientOptions options;
    if (!ca.empty()) options.caCertificate = il::readCertificateFile(ca);
    return il::makeGrpcControlPanelClient(address, options);
  };
}

MainFrameLink::MainFrameLink(MainFrame& frame, Ui& ui, il::ClientFactory factory, Poster post, std::uint16_t defaultPort)
    : frame_(frame),
      ui_(ui),
      post_(std::move(post)),
      defaultPort_(defaultPort),
      thread_(info_, callbacks_, std::move(factory)),
      self_(std::make_shared<MainFrameLink*>(this)) {
  frame_.setLink(this);
  callbacks_.Register(&MainFrameLink::callback, this);
}

MainFrameLink::~MainFrameLink() {
  thread_.stop();
  callbacks_.Unregister(&MainFrameLink::callback, this);
  if (frame_.link() == this) frame_.setLink(nullptr);
  self_.reset();
}

void MainFrameLink::callback(void* context, int code, std::int64_t) {
  auto* self = static_cast<MainFrameLink*>(context);
  std::weak_ptr<MainFrameLink*> alive = self->self_;
  // Taken now, on the link thread: by the time the GUI thread looks, the link may be well
  // into the next acquisition, with another store and name.
  Notice notice{code, self->info_.store(), self->info_.name()};
  self->post_([alive, notice = std::move(notice)]() mutable {
    if (auto link = alive.lock()) (*link)->notified(std::move(notice));
  });
}

bool MainFrameLink::goOnLine(const std::string& address) {
  if (thread_.running()) return true;
  const auto parsed = il::parseServerAddress(address, defaultPort_);
  if (!parsed) return false;
  serverAddress_ = parsed->target();
  if (!thread_.goOnLine(*parsed)) return true;
  frame_.setStatusText(kReadyOnLine);
  return true;
}

OnlineWindow* MainFrameLink::onlineModel() const {
  PlotWindow* window = frame_.onlineWindow();
  return window != nullptr ? window->onlineWindow() : nullptr;
}

void MainFrameLink::notified(Notice notice) {
  // A notice arriving while another is handled (its question or save dialog runs an event
  // loop) waits its turn: a window must not be closed or replaced under its own handler.
  pending_.push_back(std::move(notice));
  if (handling_) return;
  handling_ = true;
  while (!pending_.empty()) {
    const Notice next = std::move(pending_.front());
    pending_.pop_front();
    switch (next.code) {
      case il::kLinkLost: linkLost(); break;
      case il::kNewAcquisition: newAcquisition(next.name); break;
      case il::kAcquisitionFinished:
      case il::kAcquisitionFinishedToo: finished(); break;
      case il::kHeaderReady:
        if (OnlineWindow* window = onlineModel()) window->headerReady(next.store);
        break;
      case il::kSecondHeaderReady:
        if (OnlineWindow* window = onlineModel()) window->secondHeaderReady(next.store);
        break;
      default: break;
    }
  }
  handling_ = false;
}

void MainFrameLink::linkLost() {
  const Answer answer = ui_.showMessage(linkLostText(serverAddress_), platform::kProductName, Icon::Information,
                                        Buttons::YesNoCancel);
  if (answer == Answer::Yes) {
    std::weak_ptr<MainFrameLink*> alive = self_;
    post_([alive] {
      if (auto link = alive.lock()) (*link)->goOnLineLocal();
    });
  }
  if (OnlineWindow* window = onlineModel()) window->linkLost();
  frame_.forgetOnlineWindow();
  frame_.setStatusText(kReadyOffLine);
}

void MainFrameLink::newAcquisition(const std::string& name) {
  if (frame_.onlineWindow() != nullptr) return;
  PlotWindow* window = frame_.openAcquisitionWindow(acquisitionPath(frame_.workingDirectory(), name));
  if (window == nullptr || !liveFit_) return;
  if (OnlineWindow* model = window->onlineWindow()) {
    try {
      model->startLiveFit(*liveFit_);
    } catch (const std::exception&) {
      liveFit_.reset();  // a choice the library no longer has
    }
  }
}

void MainFrameLink::finished() {
  PlotWindow* window = frame_.onlineWindow();
  if (window == nullptr) return;
  frame_.forgetOnlineWindow();
  if (OnlineWindow* model = window->onlineWindow()) {
    model->finished([this] { thread_.suspend(); }, [this] { thread_.resume(); });
    frame_.windowRenamed();
  }
}

void MainFrameLink::tick(Clock::time_point now) {
  if (OnlineWindow* window = onlineModel()) window->tick(now);
  // A link thread that ended by itself (an acquisition aborted before it began) leaves the
  // viewer off-line; a lost link says so through its own notice.
  if (!thread_.running() && !handling_ && pending_.empty() && frame_.statusText() == kReadyOnLine)
    frame_.setStatusText(kReadyOffLine);
}

bool MainFrameLink::firstRefreshPending() const {
  const OnlineWindow* window = onlineModel();
  return window != nullptr && window->firstRefreshPending();
}

void MainFrameLink::stop() {
  thread_.stop();
  if (OnlineWindow* window = onlineModel()) window->linkLost();
  frame_.forgetOnlineWindow();
}

}  // namespace lumatix::app
