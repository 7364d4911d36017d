#include "link/cb_register.h"

#include <algorithm>

namespace instrument_link {

void CBRegister::Register(Callback callback, void* context) {
  std::lock_guard lock(mutex_);
  const bool present = std::any_of(entries_.begin(), entries_.end(),
                                   [&](const Entry& e) { return e.callback == callback && e.context == context; });
  if (!present) entries_.push_back({callback, context});
}

void CBRegister::Unregister(Callback callback, void* context) {
  std::lock_guard lock(mutex_);
  std::erase_if(entries_, [&](const Entry& e) { return e.callback == callback && e.context == context; });
}

void CBRegister::Notify(int code, std::int64_t parameter) {
  std::vector<Entry> entries;
  {
    std::lock_guard lock(mutex_);
    entries = entries_;
  }
  for (const Entry& e : entries) {
    if (!e.callback) break;
    e.callback(e.context, code, parameter);
  }
}

std::size_t CBRegister::size() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

}  // namespace instrument_link
