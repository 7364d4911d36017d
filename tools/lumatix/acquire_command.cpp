// lumatix acquire: goes on-line to the control panel and saves each acquisition as the on-line
// window does; with --fit, fits each as the window's live fit does and prints the "Fitting"
// entry it writes.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <iostream>
#include <mutex>

#include "app/online_window.h"
#include "app/user_pref.h"
#include "commands.h"
#include "interrupt_guard.h"
#include "link/grpc_control_panel_client.h"
#include "link/link_thread.h"
#include "platform/settings_store.h"
#include "terminal_ui.h"

namespace lumatix::cli {
namespace {

namespace il = instrument_link;

constexpr const char* kPortKey = "ControlPanelPort";
constexpr const char* kCaKey = "ControlPanelCA";

struct AcquireOptions {
  std::string server;
  int count = 1;
  std::string dir;
  bool yes = false;
  bool no = false;
  std::string tlsCa;
  std::string fit;
};

// The link's notifications, handed from the link thread to the command's own thread with the
// store and name the link held when it notified.
class Mailbox {
 public:
  struct Notice {
    int code = 0;
    il::StorePtr store;
    std::string name;
  };
  explicit Mailbox(il::CClientInfo& info) : info_(info) {}
  static void post(void* context, int code, std::int64_t) {
    auto* self = static_cast<Mailbox*>(context);
    Notice notice{code, self->info_.store(), self->info_.name()};
    {
      std::lock_guard lock(self->mutex_);
      self->notices_.push_back(std::move(notice));
    }
    self->changed_.notify_all();
  }
  std::optional<Notice> take(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, wait, [&] { return !notices_.empty(); })) return std::nullopt;
    Notice notice = std::move(notices_.front());
    notices_.pop_front();
    return notice;
  }

 private:
  il::CClientInfo& info_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Notice> notices_;
};

int run(const AcquireOptions& o) {
  platform::SettingsStore settings;
  const int port = settings.getInt(app::kPreferences, kPortKey, il::kDefaultControlPanelPort);
  const auto address =
      il::parseServerAddress(o.server, port > 0 && port <= 65535 ? static_cast<std::uint16_t>(port)
                                                                  : il::kDefaultControlPanelPort);
  if (!address) throw CommandError("The server address \"" + o.server + "\" is not a host with an optional :port.");
  il::ClientOptions clientOptions;
  const std::string ca = o.tlsCa.empty() ? settings.getString(app::kPreferences, kCaKey, "") : o.tlsCa;
  if (!ca.empty()) clientOptions.caCertificate = il::readCertificateFile(ca);
  const std::string dir = o.dir.empty() ? std::filesystem::current_path().string() : o.dir;
  if (!std::filesystem::is_directory(dir)) throw CommandError("The folder " + dir + " does not exist.");

  std::optional<app::LiveFitSettings> fit;
  if (!o.fit.empty()) fit = app::LiveFitSettings{chooseModel(o.fit), 0};

  TerminalUi ui(std::cerr, o.yes);
  il::CClientInfo info;
  il::CBRegister callbacks;
  Mailbox mailbox(info);
  callbacks.Register(&Mailbox::post, &mailbox);
  il::LinkThread link(info, callbacks, [&](const il::ServerAddress& a) {
    return il::makeGrpcControlPanelClient(a, clientOptions);
  });
  InterruptGuard interrupts;
  link.goOnLine(*address);
  std::cerr << "Ready (On-line)\n";

  std::unique_ptr<app::OnlineWindow> window;
  std::string name;
  int done = 0;
  std::uint64_t shown = 0;
  auto lastShown = std::chrono::steady_clock::now();
  while (done < o.count) {
    const auto notice = mailbox.take(std::chrono::milliseconds(100));
    if (InterruptGuard::interrupted()) {
      link.stop();
      if (TerminalUi::stderrIsTerminal()) std::cerr << '\n';
      std::cerr << "Stopped: " << done << " of " << o.count << " acquisitions received.\n";
      return 1;
    }
    if (!notice) {
      if (!link.running()) {
        std::cerr << "The control panel aborted the acquisition before it began; the link has ended.\n";
        return 1;
      }
      const auto now = std::chrono::steady_clock::now();
      if (window && info.storedRecords() != shown && now - lastShown > std::chrono::milliseconds(500)) {
        shown = info.storedRecords();
        lastShown = now;
        // The live fit follows the data at the viewer's pace.
        if (fit) window->tick(now);
        if (TerminalUi::stderrIsTerminal()) std::cerr << '\r' << name << ": " << shown << " records received" << std::flush;
      }
      continue;
    }
    switch (notice->code) {
      case il::kLinkLost:
        if (TerminalUi::stderrIsTerminal() && window) std::cerr << '\n';
        std::cerr << app::linkLostText(address->target()) << '\n';
        if (!link.lastError().empty()) std::cerr << "(" << link.lastError() << ")\n";
        return 1;
      case il::kNewAcquisition:
        if (!window) {
          name = notice->name;
          window = std::make_unique<app::OnlineWindow>(info, ui, app::acquisitionPath(dir, name));
          if (fit) window->startLiveFit(*fit);
          shown = 0;
        }
        break;
      case il::kHeaderReady:
        if (window) window->headerReady(notice->store);
        break;
      case il::kSecondHeaderReady:
        if (window) window->secondHeaderReady(notice->store);
        break;
      case il::kAcquisitionFinished:
      case il::kAcquisitionFinishedToo: {
        if (!window) break;
        if (TerminalUi::stderrIsTerminal()) std::cerr << '\r';
        std::cerr << (name.empty() ? std::string("(no name)") : name) << ": " << info.storedRecords()
                  << " records received\n";
        // The question of an existing file: --yes writes over it, otherwise it is kept.
        if (o.yes) {
          const std::string target = window->path().empty() ? dir + "/Untitled.dsx" : window->path();
          ui.setSaveTarget(target, 1);
        }
        const bool saved = window->finished();
        if (fit) {
          if (window->fitEntry())
            printText(std::cout, *window->fitEntry());
          else
            std::cerr << "No fit: " << (window->liveFit() ? window->liveFit()->state() : std::string()) << '\n';
        }
        if (saved) std::cerr << "Saved " << window->path() << '\n';
        else std::cerr << "Not saved.\n";
        window.reset();
        ++done;
        break;
      }
      default:
        break;
    }
  }
  link.stop();
  return 0;
}

}  // namespace

void addAcquireCommand(CLI::App& app) {
  auto* command = app.add_subcommand("acquire", "Go on-line to the control panel and save what it acquires");
  static AcquireOptions o;
  command->add_option("--server", o.server, "The control panel's address, host[:port] (default 127.0.0.1)");
  command->add_option("--count", o.count, "How many acquisitions to receive")->check(CLI::Range(1, 1000000));
  command->add_option("--dir", o.dir, "Where the acquisitions are saved (default: the working directory)");
  auto* yes = command->add_flag("--yes", o.yes, "Write over an existing file of the acquisition's name");
  command->add_flag("--no", o.no, "Keep an existing file and do not save (the default)")->excludes(yes);
  command->add_option("--tls-ca", o.tlsCa, "Certificate authority of the control panel (TLS)");
  command->add_option("--fit", o.fit,
                      "Fit each acquisition's first trace while it arrives (a function's name or index, "
                      "'lumatix models'); print the \"Fitting\" entry written at its end");
  command->callback([] {
    if (const int status = run(o); status != 0) throw Reported();
  });
}

}  // namespace lumatix::cli
