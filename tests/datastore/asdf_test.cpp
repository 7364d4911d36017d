#include "datastore/asdf.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumatix::datastore::asdf {
namespace {

using ::testing::ElementsAreArray;

struct LineRow {
  const char* name;
  const char* line;
  std::vector<double> values;
  bool endsInDif;
};

class AsdfLines : public ::testing::TestWithParam<LineRow> {};

TEST_P(AsdfLines, DecodeToTheirValues) {
  DecodedLine out;
  ASSERT_TRUE(decodeLine(GetParam().line, out, 100));
  EXPECT_THAT(out.values, ElementsAreArray(GetParam().values));
  EXPECT_EQ(out.endsInDif, GetParam().endsInDif);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AsdfLines,
    ::testing::Values(LineRow{"affnBlanks", "100 1 -2 3.5", {100, 1, -2, 3.5}, false},
                      LineRow{"affnCommasAndSemicolons", "100,1;-2, 3", {100, 1, -2, 3}, false},
                      LineRow{"affnExponents", "1.5E+2 3e-1", {150, 0.3}, false},
                      LineRow{"sqzNotExponent", "1E5", {1, 55}, false},
                      LineRow{"sqz", "100@A1b2", {100, 0, 11, -22}, false},
                      LineRow{"dif", "100A10J5j3", {100, 110, 125, 112}, true},
                      LineRow{"dupOfValue", "1A1U", {1, 11, 11, 11}, false},
                      LineRow{"dupOfDifference", "1A0J0U", {1, 10, 20, 30, 40}, true},
                      LineRow{"difThenValueEndsPlain", "1A0J0B", {1, 10, 20, 2}, false},
                      LineRow{"pacSigns", "1+2-3+4", {1, 2, -3, 4}, false},
                      LineRow{"commentEndsTheLine", "1 2 $$ 3 4", {1, 2}, false},
                      LineRow{"decimalInSqz", "1A.5", {1, 1.5}, false}),
    [](const auto& row) { return std::string(row.param.name); });

struct BadRow {
  const char* name;
  const char* line;
};

class AsdfRefused : public ::testing::TestWithParam<BadRow> {};

TEST_P(AsdfRefused, LeavesNoValues) {
  DecodedLine out;
  EXPECT_FALSE(decodeLine(GetParam().line, out, 100));
}

INSTANTIATE_TEST_SUITE_P(Rows, AsdfRefused,
                         ::testing::Values(BadRow{"unknownCharacter", "1 2 #"}, BadRow{"difFirst", "J1"},
                                           BadRow{"dupFirst", "S2"},
                                           BadRow{"dupBeyondTheLimit", "1As99"}, BadRow{"loneSign", "1 -"}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace lumatix::datastore::asdf
