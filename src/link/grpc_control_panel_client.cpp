#include "link/grpc_control_panel_client.h"

#include <grpcpp/grpcpp.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>

#include "control_panel.grpc.pb.h"

namespace instrument_link {
namespace {

namespace pb = lumatix::controlpanel::v1;

// A certificate file larger than this is no certificate.
constexpr std::streamoff kMaxCertificateBytes = 1 << 20;

class GrpcControlPanelClient final : public ControlPanelClient {
 public:
  GrpcControlPanelClient(const ServerAddress& address, const ClientOptions& options) : options_(options) {
    grpc::ChannelArguments args;
    args.SetInt(GRPC_ARG_KEEPALIVE_TIME_MS, static_cast<int>(options.keepaliveTime.count()));
    args.SetInt(GRPC_ARG_KEEPALIVE_TIMEOUT_MS, static_cast<int>(options.keepaliveTimeout.count()));
    args.SetInt(GRPC_ARG_KEEPALIVE_PERMIT_WITHOUT_CALLS, 0);
    args.SetInt(GRPC_ARG_HTTP2_MAX_PINGS_WITHOUT_DATA, 0);
    // Replies are at most a block and its fields.
    args.SetMaxReceiveMessageSize(64 * 1024);
    std::shared_ptr<grpc::ChannelCredentials> credentials;
    if (options.caCertificate.empty()) {
      credentials = grpc::InsecureChannelCredentials();
    } else {
      grpc::SslCredentialsOptions ssl;
      ssl.pem_root_certs = options.caCertificate;
      credentials = grpc::SslCredentials(ssl);
    }
    stub_ = pb::ControlPanel::NewStub(grpc::CreateCustomChannel(address.target(), credentials, args));
  }

  OpenSessionResult openSession() override {
    pb::OpenSessionRequest request;
    pb::OpenSessionReply reply;
    call([&](grpc::ClientContext* c) { return stub_->OpenSession(c, request, &reply); });
    return {reply.opened(), reply.session()};
  }

  NameResult getAcquisitionName(const std::string& session, int32_t length) override {
    pb::AcquisitionNameRequest request;
    request.set_session(session);
    request.set_length(length);
    pb::AcquisitionNameReply reply;
    call([&](grpc::ClientContext* c) { return stub_->GetAcquisitionName(c, request, &reply); });
    return {reply.buffer(), reply.length()};
  }

  bool waitForServerEvent(uint32_t event, int32_t timeoutMs) override {
    pb::ServerEventRequest request;
    request.set_event(event);
    request.set_timeout_ms(timeoutMs);
    pb::ServerEventReply reply;
    call([&](grpc::ClientContext* c) { return stub_->WaitForServerEvent(c, request, &reply); },
         timeoutMs < 0 ? -1 : timeoutMs);
    return reply.signalled();
  }

  BlockResult getHeaderBlock(const std::string& session, bool firstHeader) override {
    pb::HeaderBlockRequest request;
    request.set_session(session);
    request.set_first_header(firstHeader);
    pb::HeaderBlockReply reply;
    call([&](grpc::ClientContext* c) { return stub_->GetHeaderBlock(c, request, &reply); });
    return {reply.status(), reply.buffer(), reply.count(), 0};
  }

  BlockResult getDataBlock(const std::string& session) override {
    pb::DataBlockRequest request;
    request.set_session(session);
    pb::DataBlockReply reply;
    call([&](grpc::ClientContext* c) { return stub_->GetDataBlock(c, request, &reply); });
    return {reply.status(), reply.buffer(), reply.count(), reply.record_count()};
  }

  bool closeSession(const std::string& session) override {
    pb::CloseSessionRequest request;
    request.set_session(session);
    pb::CloseSessionReply reply;
    call([&](grpc::ClientContext* c) { return stub_->CloseSession(c, request, &reply); });
    return reply.closed();
  }

  void cancel() override {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    if (current_) current_->TryCancel();
  }

 private:
  // Runs one call with its deadline (none for an unlimited wait: extraMs < 0), registered so
  // that cancel() can end it.
  template <class Invoke>
  void call(Invoke invoke, int extraMs = 0) {
    grpc::ClientContext context;
    if (extraMs >= 0)
      context.set_deadline(std::chrono::system_clock::now() + options_.callDeadline + std::chrono::milliseconds(extraMs));
    {
      std::lock_guard lock(mutex_);
      if (cancelled_) throw RpcError("Rpc exception : 0x1: the link was stopped");
      current_ = &context;
    }
    grpc::Status status = invoke(&context);
    {
      std::lock_guard lock(mutex_);
      current_ = nullptr;
    }
    if (!status.ok()) {
      char code[16];
      std::snprintf(code, sizeof code, "%x", static_cast<unsigned>(status.error_code()));
      throw RpcError(std::string("Rpc exception : 0x") + code + ": " + status.error_message());
    }
  }

  ClientOptions options_;
  std::unique_ptr<pb::ControlPanel::Stub> stub_;
  std::mutex mutex_;
  grpc::ClientContext* current_ = nullptr;
  bool cancelled_ = false;
};

}  // namespace

std::string readCertificateFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (in) in.seekg(0, std::ios::end);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
  if (!in || size <= 0 || size > kMaxCertificateBytes)
    throw std::runtime_error("Cannot read the certificate authority file " + path + ".");
  in.seekg(0);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::unique_ptr<ControlPanelClient> makeGrpcControlPanelClient(const ServerAddress& address,
                                                               const ClientOptions& options) {
  return std::make_unique<GrpcControlPanelClient>(address, options);
}

}  // namespace instrument_link
