#include "link/control_panel_server.h"

#include <grpcpp/grpcpp.h>

#include <fstream>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "control_panel.grpc.pb.h"

namespace instrument_link {
namespace {

namespace pb = lumatix::controlpanel::v1;

template <class Call>
grpc::Status answer(Call call) {
  try {
    call();
    return grpc::Status::OK;
  } catch (const CallRefused& refused) {
    if (refused.why == CallRefused::Why::UnknownSession)
      return grpc::Status(grpc::StatusCode::NOT_FOUND, "no such session");
    return grpc::Status(grpc::StatusCode::UNAVAILABLE, "the control panel is shutting down");
  }
}

class Service final : public pb::ControlPanel::Service {
 public:
  explicit Service(std::shared_ptr<SimulatorCore> core) : core_(std::move(core)) {}

  grpc::Status OpenSession(grpc::ServerContext*, const pb::OpenSessionRequest*, pb::OpenSessionReply* reply) override {
    return answer([&] {
      auto r = core_->openSession();
      reply->set_opened(r.opened);
      reply->set_session(r.session);
    });
  }
  grpc::Status GetAcquisitionName(grpc::ServerContext*, const pb::AcquisitionNameRequest* request,
                                  pb::AcquisitionNameReply* reply) override {
    return answer([&] {
      auto r = core_->getAcquisitionName(request->session(), request->length());
      reply->set_buffer(r.buffer);
      reply->set_length(r.length);
    });
  }
  grpc::Status WaitForServerEvent(grpc::ServerContext*, const pb::ServerEventRequest* request,
                                  pb::ServerEventReply* reply) override {
    return answer([&] { reply->set_signalled(core_->waitForServerEvent(request->event(), request->timeout_ms())); });
  }
  grpc::Status GetHeaderBlock(grpc::ServerContext*, const pb::HeaderBlockRequest* request,
                              pb::HeaderBlockReply* reply) override {
    return answer([&] {
      auto r = core_->getHeaderBlock(request->session(), request->first_header());
      reply->set_status(r.status);
      reply->set_buffer(std::move(r.buffer));
      reply->set_count(r.count);
    });
  }
  grpc::Status GetDataBlock(grpc::ServerContext*, const pb::DataBlockRequest* request,
                            pb::DataBlockReply* reply) override {
    return answer([&] {
      auto r = core_->getDataBlock(request->session());
      reply->set_status(r.status);
      reply->set_buffer(std::move(r.buffer));
      reply->set_count(r.count);
      reply->set_record_count(r.recordCount);
    });
  }
  grpc::Status CloseSession(grpc::ServerContext*, const pb::CloseSessionRequest* request,
                            pb::CloseSessionReply* reply) override {
    return answer([&] { reply->set_closed(core_->closeSession(request->session())); });
  }

 private:
  std::shared_ptr<SimulatorCore> core_;
};

}  // namespace

struct ControlPanelServer::Impl {
  std::shared_ptr<SimulatorCore> core;
  std::unique_ptr<Service> service;
  std::unique_ptr<grpc::Server> server;
  int port = 0;
  std::mutex logMutex;
  std::ofstream log;
  std::once_flag stopped;
  std::thread dropper;

  void stop() {
    std::call_once(stopped, [this] {
      core->shutdown();
      server->Shutdown(std::chrono::system_clock::now());
    });
  }
};

ControlPanelServer::ControlPanelServer(std::shared_ptr<SimulatorCore> core, const ServerOptions& options)
    : impl_(std::make_unique<Impl>()) {
  impl_->core = std::move(core);
  impl_->service = std::make_unique<Service>(impl_->core);
  if (!options.logPath.empty()) {
    impl_->log.open(options.logPath, std::ios::app);
    if (!impl_->log) throw std::runtime_error("Cannot write the log file " + options.logPath + ".");
    impl_->core->onCall([impl = impl_.get()](const std::string& line) {
      std::lock_guard lock(impl->logMutex);
      impl->log << line << '\n' << std::flush;
    });
  }
  Impl* impl = impl_.get();
  impl_->core->onDrop(options.drop ? options.drop : std::function<void()>([impl] {
    // Not from the handler's own thread: shutting down waits for the handlers.
    if (!impl->dropper.joinable()) impl->dropper = std::thread([impl] { impl->stop(); });
  }));

  std::shared_ptr<grpc::ServerCredentials> credentials;
  if (options.tlsCertificate.empty()) {
    credentials = grpc::InsecureServerCredentials();
  } else {
    grpc::SslServerCredentialsOptions ssl;
    ssl.pem_key_cert_pairs.push_back({options.tlsKey, options.tlsCertificate});
    credentials = grpc::SslServerCredentials(ssl);
  }
  grpc::ServerBuilder builder;
  builder.AddListeningPort(options.listen, credentials, &impl_->port);
  builder.RegisterService(impl_->service.get());
  // The viewer pings every few seconds while it waits; let it.
  builder.AddChannelArgument(GRPC_ARG_HTTP2_MIN_RECV_PING_INTERVAL_WITHOUT_DATA_MS, 500);
  builder.AddChannelArgument(GRPC_ARG_HTTP2_MAX_PING_STRIKES, 0);
  builder.AddChannelArgument(GRPC_ARG_KEEPALIVE_PERMIT_WITHOUT_CALLS, 1);
  impl_->server = builder.BuildAndStart();
  if (!impl_->server || impl_->port == 0) throw std::runtime_error("Cannot listen on " + options.listen + ".");
}

ControlPanelServer::~ControlPanelServer() {
  impl_->stop();
  impl_->server->Wait();
  if (impl_->dropper.joinable()) impl_->dropper.join();
}

int ControlPanelServer::port() const { return impl_->port; }
SimulatorCore& ControlPanelServer::core() { return *impl_->core; }
void ControlPanelServer::shutdown() { impl_->stop(); }
void ControlPanelServer::wait() { impl_->server->Wait(); }

}  // namespace instrument_link
