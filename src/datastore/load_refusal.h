#pragma once
// Why a file was refused, in a sentence a person can act on ("line 212: 3 values where 4
// were expected"), kept beside the format's own message: a load that throws throws
// LoadRefused, and lastLoadRefusal() holds the reason of a load that returned false too.

#include <istream>
#include <stdexcept>
#include <string_view>
#include <string>

namespace lumatix::datastore {

namespace text {
class TextCursor;
}

class LoadRefused : public std::runtime_error {
 public:
  LoadRefused(const std::string& message, std::string reason)
      : std::runtime_error(message), reason_(std::move(reason)) {}
  const std::string& reason() const { return reason_; }

 private:
  std::string reason_;
};

// Why the last DataStore::load on this thread refused its file (returned false or threw);
// empty after a load that succeeded.
const std::string& lastLoadRefusal();
void setLastLoadRefusal(std::string reason);

// Keeps the reason and leaves the stream failed (the loader then returns false).
void refuse(std::istream& in, std::string reason);

// Keeps the reason and throws LoadRefused with the message.
[[noreturn]] void refuseWith(const std::string& message, std::string reason);

// "line N: " and what, N being the line the cursor stands in.
std::string atLine(const text::TextCursor& c, const std::string& what);

// The text at the cursor as a person would quote it: up to the end of its line, at most 24
// characters, in quotes; "the end of the file" when nothing is left.
std::string foundHere(const text::TextCursor& c);

// A line of a file quoted the same way.
std::string quoted(std::string_view text);

}  // namespace lumatix::datastore
