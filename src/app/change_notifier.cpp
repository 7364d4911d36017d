#include "app/change_notifier.h"

#include <algorithm>

namespace lumatix::app {

ChangeNotifier::ChangeNotifier() : alive_(std::make_shared<int>(0)) {}

void ChangeNotifier::Subscription::reset() {
  if (auto alive = owner_.lock()) notifier_->unsubscribe(id_);
  owner_.reset();
  notifier_ = nullptr;
}

ChangeNotifier::Subscription& ChangeNotifier::Subscription::operator=(Subscription&& other) noexcept {
  if (this != &other) {
    reset();
    owner_ = std::move(other.owner_);
    notifier_ = other.notifier_;
    id_ = other.id_;
    other.owner_.reset();
    other.notifier_ = nullptr;
  }
  return *this;
}

ChangeNotifier::Subscription ChangeNotifier::subscribe(Observer observer) {
  Subscription s;
  s.owner_ = alive_;
  s.notifier_ = this;
  s.id_ = nextId_++;
  observers_.push_back({s.id_, std::move(observer)});
  return s;
}

void ChangeNotifier::unsubscribe(std::uint64_t id) {
  // During delivery the entry is only emptied, so the loop over the list stays valid.
  for (Entry& e : observers_)
    if (e.id == id) e.observer = nullptr;
  if (!delivering_) std::erase_if(observers_, [](const Entry& e) { return !e.observer; });
}

void ChangeNotifier::notify(Change what) {
  pending_ |= what;
  if (delivering_ || batchDepth_ > 0 || pending_ == Change::None) return;
  deliver();
}

void ChangeNotifier::deliver() {
  delivering_ = true;
  struct Reset {
    ChangeNotifier& n;
    ~Reset() {
      n.delivering_ = false;
      std::erase_if(n.observers_, [](const Entry& e) { return !e.observer; });
    }
  } reset{*this};
  while (pending_ != Change::None) {
    Change round = pending_;
    pending_ = Change::None;
    // Observers added during a round hear from the next round on.
    std::size_t count = observers_.size();
    for (std::size_t i = 0; i < count; ++i) {
      if (observers_[i].observer) {
        Observer copy = observers_[i].observer;  // the entry may be emptied while it runs
        copy(round);
      }
    }
  }
}

ChangeNotifier::Batch::~Batch() {
  if (--n_.batchDepth_ == 0 && !n_.delivering_ && n_.pending_ != Change::None) n_.deliver();
}

std::size_t ChangeNotifier::observerCount() const {
  return static_cast<std::size_t>(
      std::count_if(observers_.begin(), observers_.end(), [](const Entry& e) { return bool(e.observer); }));
}

}  // namespace lumatix::app
