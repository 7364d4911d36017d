#include "datastore/text_cursor.h"

#include <iterator>

#include "datastore/text_number.h"
#include "platform/mapped_file.h"

namespace lumatix::datastore::text {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string readRest(std::istream& in) {
  std::string text;
  auto start = in.tellg();
  if (start != std::streampos(-1) && in.seekg(0, std::ios::end)) {
    auto end = in.tellg();
    in.seekg(start);
    if (end != std::streampos(-1) && end >= start) {
      text.resize(static_cast<std::size_t>(end - start));
      in.read(text.data(), static_cast<std::streamsize>(text.size()));
      text.resize(static_cast<std::size_t>(in.gcount()));
      in.clear();
      return text;
    }
  }
  in.clear();
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  in.clear();
  return text;
}

}  // namespace

// A mapped file is read in place; pages more than this far behind the position are let go
// each time the position has moved on by the step.
constexpr std::size_t kKeptBehind = 1u << 20;
constexpr std::size_t kReleaseStep = 16u << 20;

TextCursor::TextCursor(platform::MappedFileBuf& mapped) : text_(mapped.bytes()), mapped_(&mapped) {}

TextCursor::TextCursor(TextCursor&& other) noexcept
    : owned_(std::move(other.owned_)),
      text_(other.mapped_ ? other.text_ : std::string_view(owned_)),
      mapped_(other.mapped_),
      released_(other.released_),
      pos_(other.pos_) {
  other.text_ = {};
  other.mapped_ = nullptr;
}

TextCursor TextCursor::fromStart(std::istream& in) {
  in.clear();
  if (auto* mapped = dynamic_cast<platform::MappedFileBuf*>(in.rdbuf())) return TextCursor(*mapped);
  in.seekg(0);
  return TextCursor(readRest(in));
}

TextCursor TextCursor::fromHere(std::istream& in) {
  in.clear();
  return TextCursor(readRest(in));
}

void TextCursor::releasePassed() {
  if (pos_ < released_ + kReleaseStep + kKeptBehind) return;
  mapped_->release(released_, pos_ - kKeptBehind);
  released_ = pos_ - kKeptBehind;
}

TextCursor::PageRelease TextCursor::pageRelease() const {
  if (!mapped_) return {};
  // The offset of the cursor's text in the mapping is 0: a mapped text is never cut.
  return [mapped = mapped_](std::size_t from, std::size_t to) { mapped->release(from, to); };
}

void TextCursor::normaliseLineEnds() {
  if (text_.find('\n') != std::string_view::npos || text_.find('\r') == std::string_view::npos) return;
  if (mapped_) {
    owned_.assign(text_);
    mapped_ = nullptr;
  }
  for (char& ch : owned_)
    if (ch == '\r') ch = '\n';
  text_ = owned_;
}

void TextCursor::skipWs() {
  while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
}

void TextCursor::skipBlanks() {
  while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
}

bool TextCursor::line(std::string& out) {
  if (atEnd()) return false;
  std::size_t end = text_.find('\n', pos_);
  std::size_t stop = end == std::string::npos ? text_.size() : end;
  out.assign(text_.substr(pos_, stop - pos_));
  chopCarriageReturn(out);
  pos_ = end == std::string::npos ? text_.size() : end + 1;
  if (mapped_) releasePassed();
  return true;
}

bool TextCursor::lineView(std::string_view& out) {
  if (atEnd()) return false;
  const std::size_t end = text_.find('\n', pos_);
  const std::size_t stop = end == std::string::npos ? text_.size() : end;
  out = text_.substr(pos_, stop - pos_);
  if (!out.empty() && out.back() == '\r') out.remove_suffix(1);
  pos_ = end == std::string::npos ? text_.size() : end + 1;
  if (mapped_) releasePassed();
  return true;
}

bool TextCursor::skipLine() {
  if (atEnd()) return false;
  std::size_t end = text_.find('\n', pos_);
  pos_ = end == std::string::npos ? text_.size() : end + 1;
  if (mapped_) releasePassed();
  return true;
}

bool TextCursor::word(std::string& out) {
  skipWs();
  if (atEnd()) return false;
  std::size_t start = pos_;
  while (pos_ < text_.size() && !isSpace(text_[pos_])) ++pos_;
  out.assign(text_.substr(start, pos_ - start));
  return true;
}

bool TextCursor::readFloat(float& value) {
  skipWs();
  return floatHere(value);
}

bool TextCursor::floatHere(float& value) {
  const std::string_view text = rest();
  const std::size_t used = parseFloatAt(text.data(), text.data() + text.size(), value);
  pos_ += used;
  return used > 0;
}

bool TextCursor::readDouble(double& value) {
  skipWs();
  std::size_t used = parseDouble(rest(), value);
  pos_ += used;
  return used > 0;
}

bool TextCursor::readInt(std::int64_t& value) {
  skipWs();
  std::size_t used = parseInt(rest(), value);
  pos_ += used;
  return used > 0;
}

bool TextCursor::accept(char c) {
  if (atEnd() || text_[pos_] != c) return false;
  ++pos_;
  return true;
}

bool TextCursor::accept(std::string_view literal) {
  if (rest().substr(0, literal.size()) != literal) return false;
  pos_ += literal.size();
  return true;
}

std::size_t TextCursor::lineNumberAt(std::size_t pos) const {
  if (pos > text_.size()) pos = text_.size();
  std::size_t lines = 1;
  for (std::size_t i = 0; i < pos; ++i)
    if (text_[i] == '\n') ++lines;
  return lines;
}

void chopCarriageReturn(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace lumatix::datastore::text
