// Any bytes read in parts on several threads give what the one-line-at-a-time reading
// gives: the rows of a file of columns in each separator, and a JCAMP-DX block of x y
// pairs (values, the reason of a refusal, where the reading stopped). Parts are made tiny
// so that short inputs are split many times.

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "datastore/bulk_rows.h"
#include "datastore/delimited_rows.h"
#include "datastore/jcamp_data.h"
#include "datastore/text_cursor.h"

namespace {

using namespace lumatix::datastore;

constexpr std::size_t kTinyPart = 16;

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::bit_cast<std::uint32_t>(a[i]) != std::bit_cast<std::uint32_t>(b[i])) return false;
  return true;
}

// The reader's loop over rows, with or without the bulk reading; returns where it ended.
std::size_t readRows(std::string_view text, text::RowShape shape, std::vector<std::vector<float>>& columns,
                     unsigned threads, bool bulk) {
  const std::size_t count = columns.size();
  text::BulkRows rows(text, shape.separator, columns, text::Parts{threads, kTinyPart});
  std::vector<float> row;
  std::size_t at = 0;
  while (true) {
    if (bulk) at = rows.advance(at);
    if (at >= text.size()) return text.size();
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!text::trim(line).empty()) {
      if (!text::parseRowAdapting(line, shape, row) || row.size() != count) return at;
      for (std::size_t k = 0; k < count; ++k) columns[k].push_back(row[k]);
    }
    at = end + 1;
  }
}

void checkRows(std::string_view text, unsigned threads) {
  const std::string_view first = text.substr(0, text.find('\n'));
  for (auto separator : {text::Separator::Tab, text::Separator::Comma, text::Separator::Semicolon,
                         text::Separator::Blanks}) {
    const text::RowShape shape{separator, false};
    std::vector<float> row;
    if (!text::parseRow(first, shape, row)) continue;
    std::vector<std::vector<float>> expected(row.size()), got(row.size());
    const std::size_t expectedEnd = readRows(text, shape, expected, 1, false);
    const std::size_t gotEnd = readRows(text, shape, got, threads, true);
    if (gotEnd != expectedEnd) std::abort();
    for (std::size_t k = 0; k < row.size(); ++k)
      if (!sameBits(got[k], expected[k])) std::abort();
  }
}

void checkPairs(std::string_view bytes, unsigned threads) {
  struct Result {
    std::string why;
    std::vector<float> x, y;
    std::size_t at = 0;
  };
  auto decode = [&](unsigned t) {
    text::TextCursor c{std::string(bytes)};
    jcamp::Scale scale;
    jcamp::Decoded out;
    Result r;
    r.why = jcamp::decodeGroups(c, scale, 2, out, text::Parts{t, kTinyPart});
    r.x = std::move(out.x);
    r.y = std::move(out.y);
    r.at = c.position();
    return r;
  };
  const Result expected = decode(1), got = decode(threads);
  if (got.why != expected.why || got.at != expected.at || !sameBits(got.x, expected.x) || !sameBits(got.y, expected.y))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const unsigned threads = 2 + static_cast<unsigned>(size % 4);
  checkRows(text, threads);
  checkPairs(text, threads);
  return 0;
}
