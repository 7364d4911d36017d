#pragma once
// smart_ptr<T>: a reference-counting owner. Copies share the object and a count; the last
// owner deletes the object through its virtual destructor. The count is atomic: the link
// thread and the windows share the store being acquired, so owners may live on different
// threads (each smart_ptr object itself is used by one thread at a time).

#include <atomic>
#include <utility>

namespace lumatix::datastore {

template <class T>
class smart_ptr {
 public:
  smart_ptr() = default;
  explicit smart_ptr(T* object) : object_(object), count_(object ? new std::atomic<long>(1) : nullptr) {}
  smart_ptr(const smart_ptr& other) : object_(other.object_), count_(other.count_) {
    if (count_) count_->fetch_add(1, std::memory_order_relaxed);
  }
  smart_ptr(smart_ptr&& other) noexcept
      : object_(std::exchange(other.object_, nullptr)), count_(std::exchange(other.count_, nullptr)) {}
  smart_ptr& operator=(smart_ptr other) noexcept {
    std::swap(object_, other.object_);
    std::swap(count_, other.count_);
    return *this;
  }
  ~smart_ptr() { release(); }

  T* get() const { return object_; }
  T& operator*() const { return *object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  long use_count() const { return count_ ? count_->load(std::memory_order_relaxed) : 0; }

  void reset(T* object = nullptr) { *this = smart_ptr(object); }

 private:
  void release() noexcept {
    if (count_ && count_->fetch_sub(1, std::memory_order_acq_rel) == 1) {
      delete object_;
      delete count_;
    }
    object_ = nullptr;
    count_ = nullptr;
  }

  T* object_ = nullptr;
  std::atomic<long>* count_ = nullptr;
};

}  // namespace lumatix::datastore
