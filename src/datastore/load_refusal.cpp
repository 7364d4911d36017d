#include "datastore/load_refusal.h"

#include "datastore/text_cursor.h"

namespace lumatix::datastore {

namespace {
thread_local std::string lastRefusal;
}

const std::string& lastLoadRefusal() { return lastRefusal; }

void setLastLoadRefusal(std::string reason) { lastRefusal = std::move(reason); }

void refuse(std::istream& in, std::string reason) {
  lastRefusal = std::move(reason);
  in.setstate(std::ios::failbit);
}

void refuseWith(const std::string& message, std::string reason) {
  lastRefusal = reason;
  throw LoadRefused(message, std::move(reason));
}

std::string atLine(const text::TextCursor& c, const std::string& what) {
  return "line " + std::to_string(c.lineNumberAt(c.position())) + ": " + what;
}

namespace {

// The length of the UTF-8 sequence that starts text, 0 when it is not one.
std::size_t utf8Length(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t n = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || n > text.size()) return 0;
  for (std::size_t i = 1; i < n; ++i)
    if ((static_cast<unsigned char>(text[i]) >> 6) != 0x2) return 0;
  return n;
}

}  // namespace

std::string quoted(std::string_view text) {
  constexpr std::size_t kMostShown = 24;
  std::string shown;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size();) {
    const char ch = text[i];
    if (ch == '\n' || ch == '\r') break;
    if (characters == kMostShown) {
      shown += "...";
      break;
    }
    ++characters;
    // Control bytes and bytes that are not UTF-8 (a binary file's) would garble the message.
    const std::size_t n = utf8Length(text.substr(i));
    const auto byte = static_cast<unsigned char>(ch);
    if (n == 0 || (n == 1 && ((byte < 0x20 && ch != '\t') || byte == 0x7F))) {
      shown.push_back('?');
      i += 1;
    } else {
      shown.append(text.substr(i, n));
      i += n;
    }
  }
  return "\"" + shown + "\"";
}

std::string foundHere(const text::TextCursor& c) {
  if (c.atEnd()) return "the end of the file";
  const std::string_view rest = c.rest();
  const std::size_t shown = rest.find_first_not_of(" \t");
  if (shown == std::string_view::npos) return "the end of the file";
  if (rest[shown] == '\n' || rest[shown] == '\r') return "the end of the line";
  return quoted(rest.substr(shown));
}

}  // namespace lumatix::datastore
