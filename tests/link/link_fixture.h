#pragma once
// Stores to play and a link that records what it notified, for the link's tests.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "datastore/data_store.h"
#include "link/cb_register.h"
#include "link/client_info.h"
#include "link/grpc_control_panel_client.h"
#include "link/link_thread.h"

namespace instrument_link::testing {

// A store of the given dimension sizes and property count whose values all differ.
inline lumatix::datastore::DataStore makeStore(const std::vector<std::pair<std::string, int>>& dimensions,
                                               int properties = 1) {
  lumatix::datastore::DataStore store;
  store.title = "played";
  for (int p = 0; p < properties; ++p) store.addProperty(p == 0 ? "Absorbance" : "Voltage " + std::to_string(p));
  for (const auto& [name, size] : dimensions) {
    std::vector<float> values;
    for (int i = 0; i < size; ++i) values.push_back(static_cast<float>(i) * 0.5f + 200.0f);
    store.addDimension(lumatix::datastore::Dimension(name, values));
  }
  store.initialise();
  for (std::int32_t i = 0; i < store.data.count; ++i) store.data.data[i] = static_cast<float>(i) * 0.25f - 3.0f;
  store.addRemark("played back by the tests");
  return store;
}

// Records the codes the link notifies and lets a test wait for one.
class Recorder {
 public:
  explicit Recorder(CBRegister& callbacks) : callbacks_(callbacks) { callbacks_.Register(&Recorder::notified, this); }
  ~Recorder() { callbacks_.Unregister(&Recorder::notified, this); }

  std::vector<int> codes() const {
    std::lock_guard lock(mutex_);
    return codes_;
  }
  // Waits until `count` codes equal to code were notified; false after the time-out.
  bool waitFor(int code, int count = 1, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
      return std::count(codes_.begin(), codes_.end(), code) >= count;
    });
  }

 private:
  static void notified(void* context, int code, std::int64_t) {
    auto* self = static_cast<Recorder*>(context);
    {
      std::lock_guard lock(self->mutex_);
      self->codes_.push_back(code);
    }
    self->changed_.notify_all();
  }
  CBRegister& callbacks_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<int> codes_;
};

// Waits until pred holds; false after the time-out.
template <class Pred>
bool eventually(Pred pred, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (!pred()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

inline ClientFactory grpcFactory(std::chrono::milliseconds deadline = std::chrono::milliseconds(10000)) {
  return [deadline](const ServerAddress& address) {
    ClientOptions options;
    options.callDeadline = deadline;
    return makeGrpcControlPanelClient(address, options);
  };
}

}  // namespace instrument_link::testing
