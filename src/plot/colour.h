#pragma once
// Colours as the drawing code passes them: red, green and blue bytes, packed as
// red | green << 8 | blue << 16 where a single number is wanted.

#include <cstdint>

namespace lumatix::plot {

struct Colour {
  std::uint8_t red = 0, green = 0, blue = 0;

  static constexpr Colour fromPacked(std::uint32_t packed) {
    return {static_cast<std::uint8_t>(packed & 0xFF), static_cast<std::uint8_t>((packed >> 8) & 0xFF),
            static_cast<std::uint8_t>((packed >> 16) & 0xFF)};
  }
  constexpr std::uint32_t packed() const {
    return static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
           static_cast<std::uint32_t>(blue) << 16;
  }
  friend constexpr bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kGridGrey{155, 155, 155};
inline constexpr Colour kOutsideGrey{200, 200, 200};
inline constexpr Colour kLinePlotGrid{220, 220, 220};

}  // namespace lumatix::plot
