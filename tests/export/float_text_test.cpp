#include "export/float_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "datastore/text_number.h"

namespace lumatix::exports {
namespace {

std::string fast(float v) {
  char buffer[datastore::text::kMaxNumberChars];
  return {buffer, formatFloatFast(buffer, v)};
}

TEST(FloatTextTest, SameTextAsTheStreamFormOnRandomBitPatterns) {
  std::mt19937 random(7);
  for (int i = 0; i < 2000000; ++i) {
    const float v = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
    ASSERT_EQ(fast(v), datastore::text::floatText(v)) << std::bit_cast<std::uint32_t>(v);
  }
}

TEST(FloatTextTest, SameTextOnTiesPowersOfTenAndSpecials) {
  std::vector<float> values{0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 1234565.0f, 1234575.0f, 999999.5f, 9999995.0f,
                            0.0001f, 0.00001f, 1e-5f, 99999.95f, 123456.5f, 2.5f, 1e38f, 3.4028235e38f,
                            std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::min(),
                            std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN()};
  for (int k = -45; k <= 38; ++k) {
    const float p = static_cast<float>(std::stod("1e" + std::to_string(k)));
    values.insert(values.end(), {p, std::nextafter(p, 0.0f), std::nextafter(p, std::numeric_limits<float>::infinity())});
  }
  // Whole numbers from 1,000,000 to 16,777,216 end in a digit the sixth place rounds away.
  for (std::uint32_t n = 1000000; n < 16777216; n += 7919) values.push_back(static_cast<float>(n) + 0.0f);
  for (std::uint32_t n = 1000000; n < 1000100; ++n) values.push_back(static_cast<float>(n) * 10.0f + 5.0f);
  for (float v : values) {
    EXPECT_EQ(fast(v), datastore::text::floatText(v)) << v;
    EXPECT_EQ(fast(-v), datastore::text::floatText(-v)) << -v;
  }
}

}  // namespace
}  // namespace lumatix::exports
