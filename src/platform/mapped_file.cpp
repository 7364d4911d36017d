#include "platform/mapped_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <mutex>

namespace lumatix::platform {
namespace {

// The live mappings, as the SIGBUS handler sees them: it may take no lock, so each slot is a
// set of atomics, filled before the mapping is read and emptied before it is unmapped.
struct MappingSlot {
  std::atomic<char*> base{nullptr};
  std::atomic<std::size_t> size{0};
  std::atomic<bool> cut{false};
};
constexpr std::size_t kSlots = 64;
std::array<MappingSlot, kSlots> slots;
std::mutex slotsTaken;  // only for taking and giving back slots, never in the handler
std::size_t pageSize = 4096;
struct sigaction previousBusAction {};

void onBusError(int signal, siginfo_t* info, void* context) {
  char* const at = static_cast<char*>(info->si_addr);
  for (MappingSlot& slot : slots) {
    char* const base = slot.base.load(std::memory_order_acquire);
    if (base == nullptr || at < base || at >= base + slot.size.load(std::memory_order_acquire)) continue;
    // A page past the file's new end: put a page of zeros in its place, and the read that
    // faulted runs again on it.
    char* const page = base + static_cast<std::size_t>(at - base) / pageSize * pageSize;
    if (::mmap(page, pageSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == MAP_FAILED) break;
    slot.cut.store(true, std::memory_order_release);
    return;
  }
  // Not one of ours: whoever had the signal before, or its default action once the fault
  // happens again.
  if ((previousBusAction.sa_flags & SA_SIGINFO) != 0 && previousBusAction.sa_sigaction != nullptr) {
    previousBusAction.sa_sigaction(signal, info, context);
    return;
  }
  if (previousBusAction.sa_handler != SIG_DFL && previousBusAction.sa_handler != SIG_IGN &&
      previousBusAction.sa_handler != nullptr) {
    previousBusAction.sa_handler(signal);
    return;
  }
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigaction(SIGBUS, &fallback, nullptr);
}

void installBusHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    pageSize = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &previousBusAction);
  });
}

int takeSlot(char* base, std::size_t size) {
  installBusHandler();
  const std::lock_guard<std::mutex> lock(slotsTaken);
  for (std::size_t i = 0; i < kSlots; ++i) {
    if (slots[i].base.load(std::memory_order_relaxed) != nullptr) continue;
    slots[i].cut.store(false, std::memory_order_relaxed);
    slots[i].size.store(size, std::memory_order_release);
    slots[i].base.store(base, std::memory_order_release);
    return static_cast<int>(i);
  }
  return -1;
}

void giveBackSlot(int slot) {
  if (slot < 0) return;
  const std::lock_guard<std::mutex> lock(slotsTaken);
  slots[static_cast<std::size_t>(slot)].base.store(nullptr, std::memory_order_release);
}

}  // namespace

std::unique_ptr<MappedFileBuf> MappedFileBuf::open(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) {
    ::close(fd);
    return nullptr;
  }
  const auto size = static_cast<std::size_t>(info.st_size);
  void* base = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (base == MAP_FAILED) return nullptr;
  auto mapped = std::unique_ptr<MappedFileBuf>(new MappedFileBuf(static_cast<char*>(base), size));
  // Without a slot a file cut short could not be told from one intact: it is not read in place.
  if (mapped->slot_ < 0) return nullptr;
  ::madvise(base, size, MADV_SEQUENTIAL);
  return mapped;
}

MappedFileBuf::MappedFileBuf(char* base, std::size_t size) : base_(base), size_(size), slot_(takeSlot(base, size)) {
  setg(base_, base_, base_ + size_);
}

MappedFileBuf::~MappedFileBuf() {
  giveBackSlot(slot_);
  ::munmap(base_, size_);
}

bool MappedFileBuf::cutShort() const {
  return slot_ >= 0 && slots[static_cast<std::size_t>(slot_)].cut.load(std::memory_order_acquire);
}

void MappedFileBuf::release(std::size_t from, std::size_t to) {
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  from = (from + page - 1) / page * page;
  to = to / page * page;
  if (to > size_) to = size_ / page * page;
  if (from < to) ::madvise(base_ + from, to - from, MADV_DONTNEED);
}

MappedFileBuf::pos_type MappedFileBuf::seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) {
  if (!(which & std::ios_base::in)) return pos_type(off_type(-1));
  off_type origin = 0;
  if (dir == std::ios_base::cur) origin = gptr() - eback();
  if (dir == std::ios_base::end) origin = static_cast<off_type>(size_);
  const off_type at = origin + off;
  if (at < 0 || at > static_cast<off_type>(size_)) return pos_type(off_type(-1));
  setg(base_, base_ + at, base_ + size_);
  return pos_type(at);
}

MappedFileBuf::pos_type MappedFileBuf::seekpos(pos_type pos, std::ios_base::openmode which) {
  return seekoff(off_type(pos), std::ios_base::beg, which);
}

}  // namespace lumatix::platform
