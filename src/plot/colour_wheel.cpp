#include "plot/colour_wheel.h"

#include <algorithm>

namespace lumatix::plot {
namespace {

void toHsv(std::uint32_t colour, float& h, float& s, float& v) {
  double r = (colour & 0xFF) / 255.0, g = ((colour >> 8) & 0xFF) / 255.0, b = ((colour >> 16) & 0xFF) / 255.0;
  double hi = std::max({r, g, b}), lo = std::min({r, g, b});
  v = static_cast<float>(hi * 255.0);
  if (hi == 0.0) {
    s = 0.0f;
    h = -1.0f;
    return;
  }
  s = static_cast<float>((hi - lo) / hi * 100.0);
  double d = hi - lo, sector;
  if (r == hi) {
    sector = d != 0 ? (g - b) / d : 0.0;
  } else if (g == hi) {
    sector = 2.0 + (b - r) / d;
  } else {
    sector = 4.0 + (r - g) / d;
  }
  double hue = 60.0 * sector;
  if (hue < 0) hue += 360.0;
  h = static_cast<float>(hue);
}

std::uint32_t fromHsv(float h, float s, float v) {
  double r, g, b;
  if (s == 0.0f && h == 0.0f) {
    r = g = b = v;
  } else {
    if (h >= 360.0f) h = 0.0f;
    const float S = s / 100.0f;
    const float sixth = h / 60.0f;
    const int i = static_cast<int>(sixth);
    const float f = sixth - static_cast<float>(i);
    const double p = v * (1.0 - S), q = v * (1.0 - static_cast<double>(S) * f),
                 t = v * (1.0 - static_cast<double>(S) * (1.0 - f));
    switch (i) {
      case 0: r = v, g = t, b = p; break;
      case 1: r = q, g = v, b = p; break;
      case 2: r = p, g = v, b = t; break;
      case 3: r = p, g = q, b = v; break;
      case 4: r = t, g = p, b = v; break;
      default: r = v, g = p, b = q; break;
    }
  }
  auto byte = [](double c) { return static_cast<std::uint32_t>(std::clamp(c, 0.0, 255.0)); };
  return byte(r) | byte(g) << 8 | byte(b) << 16;
}

}  // namespace

CColourWheel::CColourWheel(std::uint32_t colour, float hueStep) : step_(hueStep) {
  toHsv(colour, hue_, saturation_, value_);
  initialHue_ = hue_;
  initialSaturation_ = saturation_;
  initialValue_ = value_;
}

void CColourWheel::Reset() {
  hue_ = initialHue_;
  saturation_ = initialSaturation_;
  value_ = initialValue_;
}

std::uint32_t CColourWheel::NextColour() {
  if (hue_ >= 30.0f && hue_ <= 130.0f) hue_ += 100.0f;
  std::uint32_t colour = fromHsv(hue_, saturation_, value_);
  hue_ += step_;
  if (hue_ > 360.0f) hue_ -= 360.0f;
  return colour;
}

}  // namespace lumatix::plot
