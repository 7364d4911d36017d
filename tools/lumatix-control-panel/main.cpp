// lumatix-control-panel: a stand-in for the instrument's control panel. It serves the link's
// procedures and plays readable files back as acquisitions, so the viewer and `lumatix
// acquire` can be tried and tested without an instrument.

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
#include "link/control_panel_server.h"

namespace {

std::atomic<bool> stopRequested{false};
extern "C" void requestStop(int) { stopRequested = true; }

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("Cannot read " + path + ".");
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
  app.add_option("--listen", listen, "ADDR:PORT to serve on; port 0 picks one (printed as \"listening on PORT\")");
  app.add_option("--play", plays, "A file to play as an acquisition (repeatable)")->required()->check(CLI::ExistingFile);
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
  CLI11_PARSE(app, argc, argv);

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
    auto core = std::make_shared<SimulatorCore>(std::move(items), options);
    ControlPanelServer panel(core, server);
    std::cout << "listening on " << panel.port() << std::endl;
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
