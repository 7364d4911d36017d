// Large text files read in parts on several threads: the numbers, the rows and the x y
// pairs must come out exactly as the one-line-at-a-time reading gives them, wherever an
// odd line falls, and a refusal must name the same line.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "datastore/bulk_rows.h"
#include "datastore/data_store.h"
#include "datastore/delimited_rows.h"
#include "datastore/jcamp_data.h"
#include "datastore/load_refusal.h"
#include "datastore/text_cursor.h"
#include "datastore/text_number.h"
#include "support/temp_dir.h"

namespace lumatix::datastore {
namespace {

using text::RowShape;
using text::Separator;

// Bit patterns, so that not-a-number and -0 compare as written.
std::vector<std::uint32_t> bitsOf(const std::vector<float>& values) {
  std::vector<std::uint32_t> bits;
  bits.reserve(values.size());
  for (float v : values) bits.push_back(std::bit_cast<std::uint32_t>(v));
  return bits;
}

float fromChars(const std::string& text) {
  float value = 0.0f;
  const char* first = text.data() + (text[0] == '+' ? 1 : 0);
  std::from_chars(first, text.data() + text.size(), value);
  return value;
}

TEST(ReaderParts, NumbersReadLikeFromChars) {
  std::mt19937_64 random(17);
  std::vector<std::string> texts = {"0.0",   "-0.0",     "1.",      ".5",       "+2.25",        "16777217",
                                    "0.1",   "9999999.9999999", "1234567.1234567", "0.0000001", "-9.5000000",
                                    "33554431.5", "3.4028235e38"};
  // Texts of every length of whole and decimal digits the quick path reads, and longer.
  for (int i = 0; i < 200000; ++i) {
    const int whole = static_cast<int>(random() % 10), decimals = static_cast<int>(random() % 10);
    std::string t = random() % 2 ? "-" : "";
    for (int k = 0; k < whole; ++k) t += static_cast<char>('0' + random() % 10);
    if (decimals > 0 || whole == 0) t += '.';
    for (int k = 0; k < decimals || (whole == 0 && k == 0); ++k) t += static_cast<char>('0' + random() % 10);
    texts.push_back(t);
  }
  // Decimal texts close to the midpoint between two floats, where a double rounded to float
  // may round the wrong way.
  for (int i = 0; i < 50000; ++i) {
    const float f = std::ldexp(static_cast<float>(random() % (1u << 24)), static_cast<int>(random() % 30) - 20);
    const double mid = (static_cast<double>(f) + static_cast<double>(std::nextafter(f, 1e30f))) / 2;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", static_cast<int>(random() % 8), mid);
    texts.push_back(buffer);
    std::snprintf(buffer, sizeof buffer, "%.17g", mid);
    texts.push_back(buffer);
  }
  // Exact midpoints: between 2^17 and 10^7 they have at most seven decimals, and ties go
  // to the even neighbour.
  for (int i = 0; i < 50000; ++i) {
    const auto f = static_cast<float>(131072 + random() % (10000000 - 131072));
    const double mid = (static_cast<double>(f) + static_cast<double>(std::nextafter(f, 1e30f))) / 2;
    char buffer[64];
    for (double nudge : {-1e-7, 0.0, 1e-7}) {
      std::snprintf(buffer, sizeof buffer, "%.7f", mid + nudge);
      texts.push_back(buffer);
    }
  }
  for (const std::string& t : texts) {
    const float expected = fromChars(t);
    // Followed by more text (the eight-at-a-time path) and alone (the others).
    const std::string inRow = t + "\t1.5\t2.5\n";
    float fast = 0.0f, alone = 0.0f;
    ASSERT_EQ(text::parseFloatAt(inRow.data(), inRow.data() + inRow.size(), fast), t.size()) << t;
    ASSERT_EQ(text::parseFloat(t, alone), t.size()) << t;
    ASSERT_EQ(std::bit_cast<std::uint32_t>(fast), std::bit_cast<std::uint32_t>(expected)) << t;
    ASSERT_EQ(std::bit_cast<std::uint32_t>(alone), std::bit_cast<std::uint32_t>(expected)) << t;
  }
}

// Rows of numbers as numpy writes them, count columns, parted by the separator.
std::vector<std::string> tableLines(std::size_t rows, std::size_t count, char separator, unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> spread;
  std::vector<std::string> lines;
  char buffer[32];
  for (std::size_t i = 0; i < rows; ++i) {
    std::string line;
    std::snprintf(buffer, sizeof buffer, "%.2f", 200.0 + 0.01 * static_cast<double>(i));
    line += buffer;
    for (std::size_t k = 1; k < count; ++k) {
      std::snprintf(buffer, sizeof buffer, "%.4f", spread(random));
      line += separator;
      line += buffer;
    }
    lines.push_back(line + "\n");
  }
  return lines;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l;
  return text;
}

struct Rows {
  std::vector<std::vector<float>> columns;
  std::size_t endedAt = 0;  // the start of the line that ended the rows, or the text's size
};

// The reader's loop over the rows: each line either a row of count numbers, an empty line,
// or the end of the rows. With bulk, lines of plain numbers are read in bulk first.
// Parts of at least this many bytes keep the texts of the tests small.
constexpr std::size_t kSmallPart = 2048;

Rows readRows(const std::string& text, RowShape shape, std::size_t count, unsigned threads, bool bulk) {
  Rows out;
  out.columns.resize(count);
  text::BulkRows rows(text, shape.separator, out.columns, text::Parts{threads, kSmallPart});
  std::vector<float> row;
  std::size_t at = 0;
  while (true) {
    if (bulk) at = rows.advance(at);
    if (at >= text.size()) break;
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string_view line(text.data() + at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (text::trim(line).empty()) {
      at = end + 1;
      continue;
    }
    if (!text::parseRowAdapting(line, shape, row) || row.size() != count) {
      out.endedAt = at;
      return out;
    }
    for (std::size_t k = 0; k < count; ++k) out.columns[k].push_back(row[k]);
    at = end + 1;
  }
  out.endedAt = text.size();
  return out;
}

// The lines where the parts of each count of threads meet, with their neighbours, and the
// first and last lines.
std::vector<std::size_t> placesAroundParts(const std::vector<std::string>& lines, std::initializer_list<std::size_t> counts) {
  std::vector<std::size_t> starts;
  std::size_t size = 0;
  for (const auto& l : lines) {
    starts.push_back(size);
    size += l.size();
  }
  std::vector<std::size_t> places{0, 1, lines.size() - 1};
  for (std::size_t n : counts)
    for (std::size_t k = 1; k < n; ++k) {
      const std::size_t line = static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), size / n * k) - starts.begin()) - 1;
      for (std::size_t near = line > 0 ? line - 1 : 0; near <= std::min(line + 2, lines.size() - 1); ++near) places.push_back(near);
    }
  return places;
}

TEST(ReaderParts, RowsMatchTheLineByLineReadingWhereverAnOddLineFalls) {
  struct Odd {
    const char* name;
    const char* line;
  };
  const Odd odds[] = {
      {"fewer values", "1.0\t2.0\n"},
      {"more values", "1.0\t2.0\t3.0\t4.0\t5.0\n"},
      {"text", "a remark between the rows\n"},
      {"empty line", "\n"},
      {"blank line", " \t \n"},
      {"padded row", "1.0\t2.0\t3.0\t4.0\t\n"},
      {"empty cell", "1.0\t\t3.0\t4.0\n"},
      {"trailing not-a-number", "1.0\t2.0\t3.0\tnan\n"},
      {"decimal commas", "1,5\t2,5\t3,5\t4,5\n"},
      {"exponents and words", "1e5\tinf\t-0.0\t2.5E-3\n"},
      {"carriage return", "1.0\t2.0\t3.0\t4.0\r\n"},
      {"number glued to text", "1.0\t2.0\t3.0\t4.0x\n"},
      {"blanks around cells", "  1.0 \t 2.0\t3.0 \t4.0  \n"},
  };
  const std::vector<std::string> lines = tableLines(1000, 4, '\t', 5);  // about 31 kB
  const std::vector<std::size_t> places = placesAroundParts(lines, {2, 3, 7});
  for (const Odd& odd : odds) {
    for (std::size_t place : places) {
      SCOPED_TRACE(std::string(odd.name) + " at line " + std::to_string(place));
      std::vector<std::string> withOdd = lines;
      withOdd[place] = odd.line;
      const std::string text = joined(withOdd);
      const Rows expected = readRows(text, RowShape{Separator::Tab, false}, 4, 1, false);
      for (unsigned threads : {1u, 2u, 3u, 7u}) {
        const Rows got = readRows(text, RowShape{Separator::Tab, false}, 4, threads, true);
        ASSERT_EQ(got.endedAt, expected.endedAt) << threads << " threads";
        for (std::size_t k = 0; k < 4; ++k)
          ASSERT_EQ(bitsOf(got.columns[k]), bitsOf(expected.columns[k])) << threads << " threads, column " << k;
      }
    }
  }
}

TEST(ReaderParts, RowsOfEverySeparatorMatchTheLineByLineReading) {
  struct Shape {
    const char* name;
    char separator;
    RowShape shape;
  };
  const Shape shapes[] = {{"commas", ',', {Separator::Comma, false}},
                          {"semicolons", ';', {Separator::Semicolon, false}},
                          {"blanks", ' ', {Separator::Blanks, false}}};
  for (const Shape& shape : shapes) {
    SCOPED_TRACE(shape.name);
    std::vector<std::string> lines = tableLines(2000, 3, shape.separator, 9);
    lines[1500] = "1.0" + std::string(1, shape.separator) + "2.0\n";  // a row of another count ends the rows
    const std::string text = joined(lines);
    const Rows expected = readRows(text, shape.shape, 3, 1, false);
    const Rows got = readRows(text, shape.shape, 3, 4, true);
    ASSERT_EQ(expected.columns[0].size(), 1500u);
    ASSERT_EQ(got.endedAt, expected.endedAt);
    for (std::size_t k = 0; k < 3; ++k) ASSERT_EQ(bitsOf(got.columns[k]), bitsOf(expected.columns[k]));
  }
}

// A JCAMP-DX block of x y pairs decoded with the given threads: the values and the reason
// of a refusal, and where the cursor was left.
struct Decoded {
  std::vector<float> x, y;
  std::string why;
  std::size_t position = 0;
};

Decoded decode(const std::string& body, std::int64_t points, unsigned threads) {
  text::TextCursor c(body);
  jcamp::Scale scale;
  scale.points = points;
  jcamp::Decoded out;
  Decoded result;
  result.why = jcamp::decodeGroups(c, scale, 2, out, text::Parts{threads, kSmallPart});
  result.x = std::move(out.x);
  result.y = std::move(out.y);
  result.position = c.position();
  return result;
}

TEST(ReaderParts, PairsMatchTheOnePassWhateverThePartsHold) {
  std::vector<std::string> pairs;
  {
    std::mt19937 random(3);
    std::normal_distribution<double> spread;
    char buffer[64];
    for (std::size_t i = 0; i < 3000; ++i) {  // about 60 kB
      std::snprintf(buffer, sizeof buffer, "%.4f %.6f\n", 200.0 + 0.01 * static_cast<double>(i), spread(random));
      pairs.emplace_back(buffer);
    }
  }
  struct Case {
    const char* name;
    const char* line;
    std::int64_t points;  // -1: no ##NPOINTS
  };
  const Case cases[] = {
      {"plain pairs", nullptr, -1},
      {"a pair over two lines", "1.5\n2.5 3.5 4.5\n", -1},
      {"comments and wrapped groups", "(1.0, 2.0) $$ a note\n", -1},
      {"unknown values", "? ?\n", -1},
      {"the next record", "##XYPOINTS= (XY..XY)\n", -1},
      {"a word", "1.0 2.0x\n", -1},
      {"a lone value, which leaves the last group short", "1.0\n", -1},
      {"more points than announced", nullptr, 2999},
      {"as many points as announced", nullptr, 3000},
  };
  const std::vector<std::size_t> places = placesAroundParts(pairs, {2, 4});
  for (const Case& odd : cases) {
    for (std::size_t place : places) {
      SCOPED_TRACE(std::string(odd.name) + " at line " + std::to_string(place));
      std::vector<std::string> lines = pairs;
      if (odd.line) lines[place] = odd.line;
      const std::string body = joined(lines) + "##END=\n";
      const Decoded expected = decode(body, odd.points, 1);
      for (unsigned threads : {2u, 4u}) {
        const Decoded got = decode(body, odd.points, threads);
        if (!odd.line) {
          ASSERT_EQ(got.x.size(), odd.points < 0 ? 3000u : std::min<std::size_t>(3000u, odd.points)) << threads;
        }
        ASSERT_EQ(got.why, expected.why) << threads << " threads";
        ASSERT_EQ(got.position, expected.position) << threads << " threads";
        ASSERT_EQ(bitsOf(got.x), bitsOf(expected.x)) << threads << " threads";
        ASSERT_EQ(bitsOf(got.y), bitsOf(expected.y)) << threads << " threads";
      }
      if (!odd.line) break;
    }
  }
}

// Whole loads of files large enough to be read in parts (and mapped): a refusal names the
// line, counted from the top of the file, whichever part it falls in.
TEST(ReaderParts, LargeFilesAreRefusedAtTheLineAtFault) {
  ::lumatix::testing::TempDir dir;
  // About 5 MB, read in two parts; the file without fault is about 19 MB, mapped.
  std::vector<std::string> lines = tableLines(160000, 4, '\t', 11);
  struct Fault {
    const char* name;
    std::size_t line;  // from 0, after the heading
    const char* text;
    const char* why;
  };
  const Fault faults[] = {
      {"early", 1000, "1.0\t2.0\n", "Columns of numbers: line 1002: 2 values where 4 were expected."},
      {"in the second half", 120000, "1.0\t2.0\t3.0\n", "Columns of numbers: line 120002: 3 values where 4 were expected."},
      {"the last line", 159999, "1.0\t2.0\t3.0\t4.0\t5.0\n",
       "Columns of numbers: line 160001: 5 values where 4 were expected."},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.name);
    std::vector<std::string> withFault = lines;
    withFault[fault.line] = fault.text;
    const std::string path = dir.file("columns.txt");
    ::lumatix::testing::writeFile(path, "Wavelength (nm)\tA\tB\tC\n" + joined(withFault));
    DataStore store;
    EXPECT_FALSE(store.load(path, false));
    EXPECT_EQ(lastLoadRefusal(), fault.why);
  }
  lines = tableLines(600000, 4, '\t', 11);
  const std::string path = dir.file("columns.txt");
  ::lumatix::testing::writeFile(path, "Wavelength (nm)\tA\tB\tC\n" + joined(lines));
  DataStore store;
  ASSERT_TRUE(store.load(path, false));
  ASSERT_EQ(store.dimensions[0].size(), 600000);
  ASSERT_EQ(store.dimensions[1].size(), 3);
  float value = 0.0f;
  ASSERT_TRUE(text::parseFloat(lines[599999].substr(lines[599999].rfind('\t') + 1), value));
  EXPECT_EQ(store.data.data[store.data.count - 1], value);
}

}  // namespace
}  // namespace lumatix::datastore
