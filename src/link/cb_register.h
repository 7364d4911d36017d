#pragma once

// CBRegister: the callbacks the link notifies. Notify may be called from the link thread while
// the GUI thread registers or unregisters; each callback is called outside the register's lock
// so that it may itself register or unregister.

#include <cstdint>
#include <mutex>
#include <vector>

namespace instrument_link {

class CBRegister {
 public:
  using Callback = void (*)(void* context, int code, std::int64_t parameter);

  // Appends the pair unless that exact pair is present.
  void Register(Callback callback, void* context);
  void Unregister(Callback callback, void* context);
  // Calls each callback in list order with (context, code, parameter); stops at an entry whose
  // callback is empty.
  void Notify(int code, std::int64_t parameter);
  std::size_t size() const;

 private:
  struct Entry {
    Callback callback;
    void* context;
  };
  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
};

}  // namespace instrument_link
