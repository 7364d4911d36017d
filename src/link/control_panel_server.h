#pragma once

// ControlPanelServer: the simulator's core served over gRPC, in this process (the tests) or in
// lumatix-control-panel. TLS when a certificate and its key are given.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/simulator_core.h"

namespace instrument_link {

struct ServerOptions {
  std::string listen = "127.0.0.1:0";  // host:port; port 0 picks one
  std::string tlsCertificate;          // PEM texts, both or neither
  std::string tlsKey;
  std::string logPath;                 // every call answered, one line each
  // What dropAfter does: by default the server shuts down at once, cancelling what is in flight.
  std::function<void()> drop;
};

class ControlPanelServer {
 public:
  // Starts serving; throws std::runtime_error "Cannot listen on <address>." when it cannot.
  ControlPanelServer(std::shared_ptr<SimulatorCore> core, const ServerOptions& options);
  ~ControlPanelServer();
  ControlPanelServer(const ControlPanelServer&) = delete;
  ControlPanelServer& operator=(const ControlPanelServer&) = delete;

  int port() const;
  SimulatorCore& core();
  // Ends every call in flight and stops serving; the port is free afterwards.
  void shutdown();
  // Blocks until shutdown() (from another thread) or a drop.
  void wait();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace instrument_link
