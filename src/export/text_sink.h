#pragma once
// A buffered text writer for the table exports: numbers are formatted straight into a
// buffer (byte-identical to the default stream formatting) and handed to the stream in
// large pieces, which is several times faster than `stream << value`.

#include <ostream>
#include <string>
#include <string_view>

#include "datastore/text_number.h"

namespace lumatix::exports {

class TextSink {
 public:
  explicit TextSink(std::ostream& out) : out_(out) { buffer_.reserve(kFlushAt + 256); }
  ~TextSink() { flush(); }
  TextSink(const TextSink&) = delete;
  TextSink& operator=(const TextSink&) = delete;

  TextSink& text(std::string_view s) {
    buffer_.append(s);
    if (buffer_.size() >= kFlushAt) flush();
    return *this;
  }
  TextSink& put(char c) {
    buffer_.push_back(c);
    if (buffer_.size() >= kFlushAt) flush();
    return *this;
  }
  TextSink& number(float value) {
    char digits[datastore::text::kMaxNumberChars];
    return text(std::string_view(digits, static_cast<std::size_t>(datastore::text::formatFloat(digits, value) - digits)));
  }
  TextSink& number(double value) {
    char digits[datastore::text::kMaxNumberChars];
    return text(std::string_view(digits, static_cast<std::size_t>(datastore::text::formatDouble(digits, value) - digits)));
  }
  TextSink& integer(long long value) { return text(std::to_string(value)); }

  void flush() {
    if (!buffer_.empty()) out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

 private:
  static constexpr std::size_t kFlushAt = 1 << 16;
  std::ostream& out_;
  std::string buffer_;
};

}  // namespace lumatix::exports
