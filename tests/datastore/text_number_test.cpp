#include "datastore/text_number.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>

namespace lumatix::datastore::text {
namespace {

template <class T>
std::string streamText(T value) {
  std::ostringstream s;
  s << value;
  return s.str();
}

struct NumberRow {
  const char* name;
  double value;
};

class FormatMatchesStream : public ::testing::TestWithParam<NumberRow> {};

TEST_P(FormatMatchesStream, FloatAndDouble) {
  const double d = GetParam().value;
  const auto f = static_cast<float>(d);
  EXPECT_EQ(floatText(f), streamText(f));
  EXPECT_EQ(doubleText(d), streamText(d));
  EXPECT_EQ(floatText(-f), streamText(-f));
  EXPECT_EQ(doubleText(-d), streamText(-d));
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatMatchesStream,
    ::testing::Values(NumberRow{"zero", 0.0}, NumberRow{"one", 1.0}, NumberRow{"ordinary", 123.456789},
                      NumberRow{"sixDigits", 999999.0}, NumberRow{"roundsUpToExponent", 999999.5},
                      NumberRow{"sevenDigits", 1234567.0}, NumberRow{"smallFixed", 0.0001234567},
                      NumberRow{"firstExponentBelow", 0.00001234567}, NumberRow{"tiny", 1.17549435e-38},
                      NumberRow{"subnormal", 1.4e-45}, NumberRow{"huge", 3.40282347e38}, NumberRow{"doubleHuge", 1.7e308},
                      NumberRow{"doubleTiny", 4.9e-324}, NumberRow{"third", 1.0 / 3.0}, NumberRow{"tieToEven", 0.1234565},
                      NumberRow{"infinity", std::numeric_limits<double>::infinity()}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(TextNumber, FloatFormattingMatchesStreamOverManyBitPatterns) {
  std::mt19937 random(12345);
  for (int i = 0; i < 200000; ++i) {
    const auto bits = static_cast<std::uint32_t>(random());
    const float f = std::bit_cast<float>(bits);
    if (std::isnan(f)) continue;
    ASSERT_EQ(floatText(f), streamText(f)) << "bits " << bits;
  }
}

TEST(TextNumber, WrittenTextReadsBackToTheSameSixDigits) {
  std::mt19937 random(99);
  std::uniform_real_distribution<float> spread(-1e6f, 1e6f);
  for (int i = 0; i < 10000; ++i) {
    float f = spread(random);
    float back = 0.0f;
    std::string s = floatText(f);
    ASSERT_EQ(parseFloat(s, back), s.size());
    EXPECT_EQ(floatText(back), s);
  }
}

struct ParseRow {
  const char* name;
  const char* text;
  std::size_t used;  // 0: refused
  float value;
};

class ParseFloatRows : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParseFloatRows, UsesTheNumberAtTheStart) {
  const ParseRow& row = GetParam();
  float value = -7.0f;
  EXPECT_EQ(parseFloat(row.text, value), row.used);
  if (row.used) EXPECT_FLOAT_EQ(value, row.value);
  else EXPECT_EQ(value, -7.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseFloatRows,
    ::testing::Values(ParseRow{"plain", "12.5", 4, 12.5f}, ParseRow{"stopsAtComma", "1.5,2", 3, 1.5f},
                      ParseRow{"exponent", "-1.25e-3x", 8, -1.25e-3f}, ParseRow{"leadingPlus", "+3", 2, 3.0f},
                      ParseRow{"unitBehind", "222.5nm", 5, 222.5f}, ParseRow{"plusMinus", "+-3", 0, 0.0f},
                      ParseRow{"leadingBlank", " 3", 0, 0.0f}, ParseRow{"word", "abc", 0, 0.0f},
                      ParseRow{"empty", "", 0, 0.0f}, ParseRow{"outOfFloatRange", "1e50", 0, 0.0f},
                      ParseRow{"hexIsNotDecimal", "0x10", 1, 0.0f}),
    [](const auto& row) { return std::string(row.param.name); });

// What the parser must agree with: from_chars, with the '+' a stream also takes.
std::size_t referenceParse(std::string_view text, float& value) {
  std::size_t skip = !text.empty() && text[0] == '+' && !(text.size() > 1 && text[1] == '-') ? 1 : 0;
  auto result = std::from_chars(text.data() + skip, text.data() + text.size(), value);
  return result.ec == std::errc() ? static_cast<std::size_t>(result.ptr - text.data()) : 0;
}

TEST(TextNumber, ParsingAgreesWithFromCharsOnShortAndOddTexts) {
  std::vector<std::string> texts{"1.", ".5", "-.5", "1e", "1e+", "2E-3", "-0", "+0.0", "16777216", "16777217",
                                 "999999999", "1234567890", "0000000000001", "1e10", "1e11", "1e-10", "1e-11",
                                 "3.4e38", "7e-46", "1.5e-45", "0.1e1", "123.456e-2,", "5.e2", "-nan", "inf"};
  std::mt19937 random(7);
  for (int i = 0; i < 100000; ++i) {
    const float f = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
    if (!std::isnan(f)) texts.push_back(floatText(f));
    char digits[16];
    std::snprintf(digits, sizeof digits, "%u.%ue%d", static_cast<unsigned>(random() % 10000000),
                  static_cast<unsigned>(random() % 1000), static_cast<int>(random() % 25) - 12);
    texts.push_back(digits);
  }
  for (const auto& t : texts) {
    float got = 0.0f, expected = 0.0f;
    const std::size_t used = parseFloat(t, got);
    ASSERT_EQ(used, referenceParse(t, expected)) << t;
    if (used && !std::isnan(expected)) {
      ASSERT_EQ(std::bit_cast<std::uint32_t>(got), std::bit_cast<std::uint32_t>(expected)) << t;
    }
  }
}

TEST(TextNumber, IntegersRefuseWhatDoesNotFit) {
  std::int64_t v = 0;
  EXPECT_EQ(parseInt("42\n", v), 2u);
  EXPECT_EQ(v, 42);
  EXPECT_EQ(parseInt("-7", v), 2u);
  EXPECT_EQ(v, -7);
  EXPECT_EQ(parseInt("99999999999999999999", v), 0u);
  EXPECT_EQ(parseInt("x1", v), 0u);
}

}  // namespace
}  // namespace lumatix::datastore::text
