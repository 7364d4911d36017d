// lumatix-control-panel: a stand-in for the instrument's control panel. It serves the link's
// procedures and plays readable files back as acquisitions, so the viewer and `lumatix
// acquire` can be tried and tested without an instrument. With --user it also plays the local
// hand-shake: it tells a starting viewer who is logged on; --request-connect and
// --request-auth send its requests to a running viewer.

#include <CLI/CLI.hpp>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <thread>

#include "datastore/diagnostics.h"
#include "link/control_panel_handshake.h"
#include "link/control_panel_server.h"

namespace {

std::atomic<bool> stopRequested{false};
extern "C" void requestStop(int) { stopRequested = true; }

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("Cannot read " + path + ".");
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The requests to a running viewer, each with its outcome on standard output.
bool sendRequests(bool connect, bool auth) {
  using instrument_link::ControlPanelHandshake;
  bool ok = true;
  if (connect) {
    const bool taken = ControlPanelHandshake::requestConnect();
    std::cout << (taken ? "the viewer was asked to go on-line" : "no viewer took the connect request") << std::endl;
    ok = ok && taken;
  }
  if (auth) {
    const auto name = ControlPanelHandshake::requestAuth();
    if (name)
      std::cout << "the viewer's user is " << *name << std::endl;
    else
      std::cout << "the viewer did not name its user" << std::endl;
    ok = ok && name.has_value();
  }
  return ok;
}

struct NonEmptyName : CLI::Validator {
  NonEmptyName() {
    name_ = "NAME";
    func_ = [](const std::string& text) {
      // The name travels as one message of the pipe.
      if (text.empty() || text.size() >= 1024 || text.find('\0') != std::string::npos)
        return std::string("a user name of 1 to 1023 bytes");
      return std::string();
    };
  }
};

}  // namespace

int main(int argc, char** argv) {
  using namespace instrument_link;
  CLI::App app{"Serve the control panel's procedures and play files back as acquisitions.", "lumatix-control-panel"};
  std::string listen = "127.0.0.1:50491";
  std::vector<std::string> plays;
  std::string name;
  SimulatorOptions options;
  ServerOptions server;
  std::string certPath, keyPath;
  std::string user;
  bool requestConnect = false, requestAuth = false;
  app.add_option("--listen", listen, "ADDR:PORT to serve on; port 0 picks one (printed as \"listening on PORT\")");
  app.add_option("--play", plays, "A file to play as an acquisition (repeatable)")->check(CLI::ExistingFile);
  app.add_option("--name", name, "The acquisition name sent (default: the file's name)");
  app.add_option("--repeat", options.repeat, "Plays of the whole list")->check(CLI::Range(1, 1000000));
  app.add_option("--records-per-block", options.recordsPerBlock, "Records per data block (default: a full block)")
      ->check(CLI::Range(1u, 24576u));
  app.add_option("--block-interval-ms", options.blockIntervalMs, "Time between two data blocks")
      ->check(CLI::Range(0, 3600000));
  app.add_option("--header-blocks", options.headerBlocks, "Blocks the first header is split into")
      ->check(CLI::Range(1, 100000));
  app.add_option("--abort-after", options.abortAfter, "Abort each acquisition after this many data blocks")
      ->check(CLI::Range(0, 1 << 30));
  app.add_option("--drop-after", options.dropAfter, "Vanish after this many data blocks in all")
      ->check(CLI::Range(0, 1 << 30));
  app.add_option("--tls-cert", certPath, "Server certificate (PEM) for TLS")->check(CLI::ExistingFile);
  app.add_option("--tls-key", keyPath, "Its private key (PEM)")->check(CLI::ExistingFile);
  app.add_option("--log", server.logPath, "Record every call answered in this file");
  app.add_option("--user", user, "Answer a starting viewer's question for the logged-on user with NAME")
      ->check(NonEmptyName());
  app.add_flag("--request-connect", requestConnect, "Ask the running viewer to go on-line to this computer");
  app.add_flag("--request-auth", requestAuth, "Ask the running viewer for its user and print it");
  CLI11_PARSE(app, argc, argv);
  if (plays.empty() && user.empty() && !requestConnect && !requestAuth) {
    std::cerr << "--play is required unless --user or a request to the viewer is given.\n";
    return 2;
  }

  std::ostream quiet(nullptr);
  lumatix::datastore::setDiagnostics(&quiet);
  try {
    if (certPath.empty() != keyPath.empty()) throw std::runtime_error("--tls-cert and --tls-key go together.");
    if (!certPath.empty()) {
      server.tlsCertificate = readText(certPath);
      server.tlsKey = readText(keyPath);
    }
    std::vector<PlayItem> items;
    for (const auto& path : plays) {
      PlayItem item;
      if (!item.store.load(path, false)) throw std::runtime_error("Cannot read " + path + " as a DataStore.");
      item.name = name.empty() ? std::filesystem::path(path).filename().string() : name;
      items.push_back(std::move(item));
    }
    server.listen = listen;
    // The server vanishes as a crashed control panel would: no goodbye to the viewer.
    server.drop = [] { std::_Exit(0); };
    // Requests alone: sent, answered, done.
    if (plays.empty() && user.empty()) return sendRequests(requestConnect, requestAuth) ? 0 : 1;
    auto core = std::make_shared<SimulatorCore>(std::move(items), options);
    std::unique_ptr<ControlPanelHandshake> handshake;
    if (!user.empty()) handshake = std::make_unique<ControlPanelHandshake>(user);
    ControlPanelServer panel(core, server);
    std::cout << "listening on " << panel.port() << std::endl;
    sendRequests(requestConnect, requestAuth);
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    std::thread watcher([&] {
      while (!stopRequested) std::this_thread::sleep_for(std::chrono::milliseconds(50));
      panel.shutdown();
    });
    panel.wait();
    stopRequested = true;
    watcher.join();
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
  return 0;
}
