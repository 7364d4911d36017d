// Any bytes as the control panel's replies: the link thread takes them through its checks into
// a store built from a valid header, and ends (a lost link or a finished acquisition) without
// writing outside the store.
//
// Input: a list of replies, each [kind:1][status:4][count:4][records:4][length:2][bytes], every
// number little-endian. Each call of the link takes the next reply; a header call given a reply
// of odd kind gets the valid header instead, and calls made when the list is used up get a
// finished acquisition, then a failed call that ends the link. A reply of kind 0xff next is
// the session (when one is opened) or the name (status: its length); one of kind 0xfe next
// signals an abort.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <sstream>
#include <stdexcept>
#include <string>

#include "datastore/data_store.h"
#include "datastore/diagnostics.h"
#include "link/cb_register.h"
#include "link/client_info.h"
#include "link/link_thread.h"
#include "link/simulator_core.h"

namespace {

namespace il = instrument_link;

struct Reply {
  std::uint8_t kind = 0;
  std::int32_t status = 0;
  std::uint32_t count = 0;
  std::uint32_t records = 0;
  std::string bytes;
};

std::uint32_t le(const std::uint8_t* p, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

const std::string& validHeader(bool temperature) {
  static const std::string plain = [] {
    lumatix::datastore::DataStore store;
    store.addProperty("Absorbance");
    store.addDimension(lumatix::datastore::Dimension("Time", {0, 1, 2, 3}));
    store.addDimension(lumatix::datastore::Dimension("Repeat", {1, 2, 3}));
    return il::lumBinaryXBytes(store, true);
  }();
  static const std::string ramp = [] {
    lumatix::datastore::DataStore store;
    store.addProperty("CircularDichroism");
    store.addDimension(lumatix::datastore::Dimension("Wavelength", {200, 210}));
    store.addDimension(lumatix::datastore::Dimension("Temperature", {20, 30, 40}));
    return il::lumBinaryXBytes(store, true);
  }();
  return temperature ? ramp : plain;
}

class ScriptedPanel final : public il::ControlPanelClient {
 public:
  explicit ScriptedPanel(std::deque<Reply> replies, bool temperature)
      : replies_(std::move(replies)), temperature_(temperature) {}

  // The session and the name come from a reply of kind 0xff, when one is next.
  il::OpenSessionResult openSession() override {
    if (!replies_.empty() && replies_.front().kind == 0xff) return {true, next().bytes};
    return {true, "session"};
  }
  il::NameResult getAcquisitionName(const std::string&, int32_t) override {
    if (!replies_.empty() && replies_.front().kind == 0xff) {
      Reply r = next();
      return {r.bytes, r.status};
    }
    return {"fuzz.dsx", 8};
  }
  bool waitForServerEvent(uint32_t event, int32_t) override {
    if (event == il::kEventStarted) {
      if (started_++ > 0) throw std::runtime_error("Rpc exception : 0xe: the script has ended");
      return true;
    }
    if (event == il::kEventAborted) return !replies_.empty() && replies_.front().kind == 0xfe;
    return true;
  }
  il::BlockResult getHeaderBlock(const std::string&, bool first) override {
    if (replies_.empty() || (replies_.front().kind & 1)) {
      if (!replies_.empty()) replies_.pop_front();
      const std::string& h = validHeader(temperature_);
      return {il::kHeaderLastBlock, first ? h : std::string(), static_cast<std::uint32_t>(first ? h.size() : 0), 0};
    }
    Reply r = next();
    return {r.status, r.bytes, r.count, 0};
  }
  il::BlockResult getDataBlock(const std::string&) override {
    if (replies_.empty()) return {il::kDataLastBlock, "", 0, 0};
    Reply r = next();
    return {r.status == il::kDataNotYet ? il::kDataLastBlock : r.status, r.bytes, r.count, r.records};
  }
  bool closeSession(const std::string&) override { return true; }
  void cancel() override {}

 private:
  Reply next() {
    if (replies_.empty()) return {};
    Reply r = std::move(replies_.front());
    replies_.pop_front();
    return r;
  }
  std::deque<Reply> replies_;
  bool temperature_;
  int started_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::ostringstream quiet;
  lumatix::datastore::setDiagnostics(&quiet);
  quiet.str({});
  std::deque<Reply> replies;
  std::size_t at = 0;
  while (at + 15 <= size && replies.size() < 4096) {
    Reply r;
    r.kind = data[at];
    r.status = static_cast<std::int32_t>(le(data + at + 1, 4));
    r.count = le(data + at + 5, 4);
    r.records = le(data + at + 9, 4);
    const std::size_t length = le(data + at + 13, 2);
    at += 15;
    const std::size_t take = std::min(length, size - at);
    r.bytes.assign(reinterpret_cast<const char*>(data + at), take);
    at += take;
    replies.push_back(std::move(r));
  }
  const bool temperature = size > 0 && (data[size - 1] & 0x80);

  il::CClientInfo info;
  il::CBRegister callbacks;
  il::LinkThread link(info, callbacks, [&](const il::ServerAddress&) {
    return std::make_unique<ScriptedPanel>(std::move(replies), temperature);
  });
  link.goOnLine({"127.0.0.1", 1});
  while (link.running()) std::this_thread::yield();
  link.stop();

  // Whatever arrived, the store stays the shape its header gave it.
  if (auto store = info.store()) {
    const std::int64_t perProperty = store->valuesPerProperty();
    if (store->initialised && perProperty >= 0 && store->data.count != perProperty * store->properties.size())
      std::abort();
  }
  return 0;
}
