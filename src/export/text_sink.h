#pragma once
// A buffered text writer for the table exports: numbers are formatted straight into a
// buffer (byte-identical to the default stream formatting) and handed to the stream in
// large pieces, which is several times faster than `stream << value`.

#include <charconv>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

#include "datastore/text_number.h"
#include "export/float_text.h"

namespace lumatix::exports {

class TextSink {
 public:
  explicit TextSink(std::ostream& out) : out_(out) {}
  ~TextSink() { flush(); }
  TextSink(const TextSink&) = delete;
  TextSink& operator=(const TextSink&) = delete;

  TextSink& text(std::string_view s) {
    if (s.size() > kSpace - used_) {
      flush();
      if (s.size() > kSpace) {
        out_.write(s.data(), static_cast<std::streamsize>(s.size()));
        return *this;
      }
    }
    std::memcpy(buffer_ + used_, s.data(), s.size());
    used_ += s.size();
    return *this;
  }
  TextSink& put(char c) {
    if (used_ == kSpace) flush();
    buffer_[used_++] = c;
    return *this;
  }
  TextSink& number(float value) {
    if (kSpace - used_ < datastore::text::kMaxNumberChars) flush();
    used_ = static_cast<std::size_t>(formatFloatFast(buffer_ + used_, value) - buffer_);
    return *this;
  }
  TextSink& number(double value) {
    if (kSpace - used_ < datastore::text::kMaxNumberChars) flush();
    used_ = static_cast<std::size_t>(datastore::text::formatDouble(buffer_ + used_, value) - buffer_);
    return *this;
  }
  TextSink& integer(long long value) {
    if (kSpace - used_ < 24) flush();
    used_ = static_cast<std::size_t>(std::to_chars(buffer_ + used_, buffer_ + kSpace, value).ptr - buffer_);
    return *this;
  }

  void flush() {
    if (used_ > 0) out_.write(buffer_, static_cast<std::streamsize>(used_));
    used_ = 0;
  }

 private:
  static constexpr std::size_t kSpace = 1 << 16;
  std::ostream& out_;
  std::size_t used_ = 0;
  char buffer_[kSpace];
};

}  // namespace lumatix::exports
