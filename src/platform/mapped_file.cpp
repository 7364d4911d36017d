#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumatix::platform {

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
  ::madvise(base, size, MADV_SEQUENTIAL);
  return std::unique_ptr<MappedFileBuf>(new MappedFileBuf(static_cast<char*>(base), size));
}

MappedFileBuf::MappedFileBuf(char* base, std::size_t size) : base_(base), size_(size) {
  setg(base_, base_, base_ + size_);
}

MappedFileBuf::~MappedFileBuf() { ::munmap(base_, size_); }

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
