#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "datastore/crc32.h"

namespace lumatix::datastore {
namespace {

using CrcFunction = std::uint32_t (*)(std::uint32_t, const void*, std::size_t);

struct Variant {
  const char* name;
  CrcFunction f;
};

void PrintTo(const Variant& v, std::ostream* os) { *os << v.name; }

class Crc32Variants : public ::testing::TestWithParam<Variant> {};

TEST_P(Crc32Variants, CheckValueOfTheDigits) {
  EXPECT_EQ(GetParam().f(0, "123456789", 9), 0x89A1897Fu);
}

TEST_P(Crc32Variants, AgreesWithTheBitwiseDefinitionOnAnyLengthAndStart) {
  std::mt19937 random(1);
  std::vector<unsigned char> bytes(5008);  // room for the longest run at the largest offset
  for (auto& b : bytes) b = static_cast<unsigned char>(random());
  for (std::size_t length : {0, 1, 7, 15, 16, 17, 63, 64, 65, 127, 128, 255, 256, 257, 1000, 4999}) {
    for (std::size_t offset : {0, 1, 3}) {
      std::uint32_t start = static_cast<std::uint32_t>(random());
      ASSERT_EQ(GetParam().f(start, bytes.data() + offset, length), Crc32::bitwise(start, bytes.data() + offset, length))
          << "length " << length << " offset " << offset;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(All, Crc32Variants,
                         ::testing::Values(Variant{"bitwise", Crc32::bitwise}, Variant{"bytewise", Crc32::bytewise},
                                           Variant{"slicing", Crc32::slicingBy8}, Variant{"folding", Crc32::folding}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(Crc32, PiecewiseUpdatesEqualOneUpdate) {
  std::vector<unsigned char> bytes(100000);
  std::mt19937 random(2);
  for (auto& b : bytes) b = static_cast<unsigned char>(random());
  Crc32 whole;
  whole.update(bytes.data(), bytes.size());
  Crc32 pieces;
  std::size_t at = 0;
  for (std::size_t piece : {3, 300, 5000, 1, 70000}) {
    pieces.update(bytes.data() + at, piece);
    at += piece;
  }
  pieces.update(bytes.data() + at, bytes.size() - at);
  EXPECT_EQ(pieces.value(), whole.value());
  EXPECT_EQ(whole.value(), Crc32::bitwise(0, bytes.data(), bytes.size()));
}

}  // namespace
}  // namespace lumatix::datastore
