#pragma once
// CColourWheel: trace colours by stepping the hue round the colour circle, skipping the
// greens and yellows that are hard to see on white.

#include <cstdint>

namespace lumatix::plot {

class CColourWheel {
 public:
  // From a packed colour (red | green << 8 | blue << 16) and a hue step in degrees.
  CColourWheel(std::uint32_t colour, float hueStep);
  virtual ~CColourWheel() = default;

  virtual void Reset();
  // The colour at the current hue (packed), then the hue moves on by the step.
  virtual std::uint32_t NextColour();

  float hue() const { return hue_; }

 private:
  float hue_, saturation_, value_;
  float initialHue_, initialSaturation_, initialValue_;
  float step_;
};

}  // namespace lumatix::plot
