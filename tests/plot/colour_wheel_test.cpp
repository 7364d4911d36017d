#include <gtest/gtest.h>

#include "plot/colour.h"
#include "plot/colour_wheel.h"
#include "plot/graph.h"

namespace lumatix::plot {
namespace {

const std::vector<Colour> kSixteen{{255, 0, 0},   {0, 212, 255}, {255, 85, 0},  {0, 127, 255},
                                   {0, 255, 84},  {255, 0, 127}, {0, 255, 170}, {255, 0, 42},
                                   {0, 255, 255}, {255, 42, 0},  {0, 170, 255}, {0, 255, 42},
                                   {255, 0, 169}, {0, 255, 127}, {255, 0, 85},  {0, 255, 212}};

TEST(ColourWheel, SixteenColoursThenRedAgain) {
  CColourWheel wheel(255, 190.0f);
  for (std::size_t i = 0; i < kSixteen.size(); ++i)
    EXPECT_EQ(Colour::fromPacked(wheel.NextColour()), kSixteen[i]) << "colour " << i;
  EXPECT_EQ(Colour::fromPacked(wheel.NextColour()), (Colour{255, 0, 0}));
  wheel.Reset();
  EXPECT_EQ(Colour::fromPacked(wheel.NextColour()), kSixteen[0]);
}

TEST(ColourWheel, GraphColoursNewTracesWithoutRecolouringOldOnes) {
  Graph g;
  std::vector<double> x{1, 2};
  g.SetData(x, {{1, 2}, {2, 3}, {3, 4}}, {"a", "b", "c"}, {}, {});
  ASSERT_EQ(g.colours().size(), 3u);
  g.SetData(x, {{1, 2}, {2, 3}, {3, 4}, {4, 5}}, {"a", "b", "c", "d"}, {}, {});
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(Colour::fromPacked(g.colours()[i]), kSixteen[i]);
}

}  // namespace
}  // namespace lumatix::plot
