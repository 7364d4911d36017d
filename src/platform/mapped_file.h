#pragma once
// A regular file mapped read-only into memory and read as a stream, so that a reader can
// parse the bytes in place rather than copy the whole file first, and hand back the pages
// it has passed (they are read again from the file should anything look back at them).
//
// Another program may cut the file short while it is mapped; reading a page past its new end
// would then end the process with SIGBUS. While a mapping lives, such a page reads as zeros
// instead and the mapping remembers it (cutShort()), so that the reader's result can be
// refused rather than the process lost.

#include <cstddef>
#include <istream>
#include <memory>
#include <streambuf>
#include <string>
#include <string_view>

namespace lumatix::platform {

class MappedFileBuf : public std::streambuf {
 public:
  // Null when the file cannot be opened or mapped (an empty file is not mapped).
  static std::unique_ptr<MappedFileBuf> open(const std::string& path);
  ~MappedFileBuf() override;
  MappedFileBuf(const MappedFileBuf&) = delete;
  MappedFileBuf& operator=(const MappedFileBuf&) = delete;

  std::string_view bytes() const { return {base_, size_}; }
  // Whether a page of the mapping was found past the file's end (it reads as zeros).
  bool cutShort() const;
  // Lets the memory of the whole pages inside [from, to) go.
  void release(std::size_t from, std::size_t to);

 protected:
  pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
  pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

 private:
  MappedFileBuf(char* base, std::size_t size);
  char* base_;
  std::size_t size_;
  int slot_;  // in the table the SIGBUS handler reads; -1 when it was full
};

// An input stream that owns its mapped file.
class MappedFileStream : public std::istream {
 public:
  explicit MappedFileStream(std::unique_ptr<MappedFileBuf> buf) : std::istream(buf.get()), buf_(std::move(buf)) {}

 private:
  std::unique_ptr<MappedFileBuf> buf_;
};

}  // namespace lumatix::platform
