#pragma once
// A read position in the whole text of a file, for the text readers. Holding the text in
// memory lets every count be checked against the characters that remain before anything
// is allocated, and lets numbers be parsed without the per-character cost of a stream.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <string_view>

namespace lumatix::platform {
class MappedFileBuf;
}

namespace lumatix::datastore::text {

class TextCursor {
 public:
  explicit TextCursor(std::string text) : owned_(std::move(text)), text_(owned_) {}
  // The bytes of a mapped file, read in place; the pages the cursor has passed are let go.
  explicit TextCursor(platform::MappedFileBuf& mapped);
  TextCursor(TextCursor&& other) noexcept;
  TextCursor(const TextCursor&) = delete;
  TextCursor& operator=(const TextCursor&) = delete;
  TextCursor& operator=(TextCursor&&) = delete;

  // The stream's text from its first byte to its end (the readers always start again at the
  // beginning, whatever the caller read before).
  static TextCursor fromStart(std::istream& in);
  // The stream's text from its current position to its end.
  static TextCursor fromHere(std::istream& in);

  // Makes a text whose lines end in a lone carriage return (no line feed anywhere) end
  // them in line feeds.
  void normaliseLineEnds();

  bool atEnd() const { return pos_ >= text_.size(); }
  std::size_t remaining() const { return atEnd() ? 0 : text_.size() - pos_; }
  std::size_t position() const { return pos_; }
  void seek(std::size_t pos) {
    pos_ = pos < text_.size() ? pos : text_.size();
    if (mapped_) releasePassed();
  }
  std::string_view rest() const { return std::string_view(text_).substr(pos_ < text_.size() ? pos_ : text_.size()); }
  char peek() const { return atEnd() ? '\0' : text_[pos_]; }

  // Skips blanks, tabs, line ends and the other white-space characters.
  void skipWs();
  // Skips blanks and tabs only, staying on the line.
  void skipBlanks();
  // The rest of the current line without its line feed and one trailing carriage return;
  // moves past the line feed. False only when nothing at all is left.
  bool line(std::string& out);
  // Like line(), as a view into the text (valid while the cursor lives).
  bool lineView(std::string_view& out);
  // Like line(), without keeping the text.
  bool skipLine();
  // Skips white space, then reads characters up to the next white space. False at the end.
  bool word(std::string& out);
  // Skips white space, then reads a number; false (position unchanged past the white
  // space) when there is none.
  bool readFloat(float& value);
  bool readDouble(double& value);
  bool readInt(std::int64_t& value);
  // Reads a number at the position, without skipping anything first.
  bool floatHere(float& value);
  // The number, counted from 1, of the line that holds position pos.
  std::size_t lineNumberAt(std::size_t pos) const;
  // Lets go of the mapped pages of text[from, to) that have been read and will not be
  // needed again; safe to call from several threads at once. Nothing for a text in memory.
  using PageRelease = std::function<void(std::size_t from, std::size_t to)>;
  PageRelease pageRelease() const;
  // Consumes c when it is the next character.
  bool accept(char c);
  // Consumes the literal when the text continues with it.
  bool accept(std::string_view literal);

 private:
  // Lets go of the mapped pages well behind the position.
  void releasePassed();

  std::string owned_;
  std::string_view text_;
  platform::MappedFileBuf* mapped_ = nullptr;
  std::size_t released_ = 0;
  std::size_t pos_ = 0;
};

// Removes one trailing carriage return.
void chopCarriageReturn(std::string& line);

// The largest count of numbers that fit in n characters: every number takes at least one
// character and is parted from the next by at least one.
inline std::uint64_t numbersThatFit(std::size_t n) { return (static_cast<std::uint64_t>(n) + 1) / 2; }

}  // namespace lumatix::datastore::text
