#pragma once
// The one way a model of app/ tells the windows that observe it what changed. A window
// subscribes once, redraws from the model on each notice and keeps no copy of the model's
// state. Notices raised while observers run (an observer that calls back into the model) are
// gathered and delivered once the current round has finished, so no observer is ever entered
// twice and none misses a change.
//
// Threading: GUI thread only, like every model call (see app/ports.h).

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace lumatix::app {

// What changed; a notice carries any combination.
enum class Change : std::uint32_t {
  None = 0,
  Data = 1u << 0,              // traces, values or the store itself
  Selection = 1u << 1,         // which traces are selected, shown or removed
  History = 1u << 2,           // an audit-history entry was added
  SavedState = 1u << 3,        // modified / saved, the file name
  WindowList = 1u << 4,        // plot windows opened, closed or renamed
  StatusText = 1u << 5,        // the status-bar message or indicators
  View = 1u << 6,              // ranges, zoom, axes, legend, grid, further-dimension index
  WorkingDirectory = 1u << 7,  // the launch pad's working directory or root
  Tree = 1u << 8,              // folders or files under the working directory
  Parameters = 1u << 9,        // fit parameters, errors, statistics
  Progress = 1u << 10,         // long work advanced, started or ended
  Options = 1u << 11,          // a preference or window option was toggled
};

constexpr Change operator|(Change a, Change b) {
  return static_cast<Change>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}
constexpr Change operator&(Change a, Change b) {
  return static_cast<Change>(static_cast<std::uint32_t>(a) & static_cast<std::uint32_t>(b));
}
constexpr Change& operator|=(Change& a, Change b) { return a = a | b; }
// Whether `set` holds any of `flags`.
constexpr bool any(Change set, Change flags) { return (set & flags) != Change::None; }

class ChangeNotifier {
 public:
  using Observer = std::function<void(Change)>;

  // Ends an observer's subscription when it goes out of scope (or on reset()).
  class Subscription {
   public:
    Subscription() = default;
    Subscription(Subscription&&) noexcept = default;
    Subscription& operator=(Subscription&& other) noexcept;
    ~Subscription() { reset(); }
    void reset();

   private:
    friend class ChangeNotifier;
    std::weak_ptr<void> owner_;
    ChangeNotifier* notifier_ = nullptr;
    std::uint64_t id_ = 0;
  };

  ChangeNotifier();
  ChangeNotifier(const ChangeNotifier&) = delete;
  ChangeNotifier& operator=(const ChangeNotifier&) = delete;

  [[nodiscard]] Subscription subscribe(Observer observer);

  // Tells every observer; within a notice, gathers what is raised and delivers it afterwards.
  void notify(Change what);

  // Holds notices back while a command makes several changes and delivers them as one when
  // the last open Batch ends.
  class Batch {
   public:
    explicit Batch(ChangeNotifier& n) : n_(n) { ++n_.batchDepth_; }
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    ChangeNotifier& n_;
  };

  std::size_t observerCount() const;

 private:
  void unsubscribe(std::uint64_t id);
  void deliver();

  struct Entry {
    std::uint64_t id;
    Observer observer;
  };
  std::shared_ptr<void> alive_;  // lets a Subscription outlive its notifier safely
  std::vector<Entry> observers_;
  std::uint64_t nextId_ = 1;
  Change pending_ = Change::None;
  bool delivering_ = false;
  int batchDepth_ = 0;
};

}  // namespace lumatix::app
