#pragma once

// The control panel's procedures over gRPC. Every call but the unlimited server-event waits has
// a deadline; keepalive pings notice a server that stops answering while a wait is in flight.
// A failed call throws RpcError with the text "Rpc exception : 0x" and the gRPC status code in
// hexadecimal, then the status message.

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

#include "link/control_panel_client.h"
#include "link/server_address.h"

namespace instrument_link {

struct RpcError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct ClientOptions {
  // PEM text of the certificate authority; TLS is used when it is not empty.
  std::string caCertificate;
  // The deadline of a call; a wait with a time-out adds the time-out to it.
  std::chrono::milliseconds callDeadline{10000};
  // Pings while a call is in flight: one after keepaliveTime of silence, the link is lost when
  // no answer comes within keepaliveTimeout.
  std::chrono::milliseconds keepaliveTime{4000};
  std::chrono::milliseconds keepaliveTimeout{4000};
};

// Reads the certificate authority file named by a "ControlPanelCA" setting; throws
// "Cannot read the certificate authority file <path>." when it cannot be read.
std::string readCertificateFile(const std::string& path);

std::unique_ptr<ControlPanelClient> makeGrpcControlPanelClient(const ServerAddress& address,
                                                               const ClientOptions& options = {});

}  // namespace instrument_link
