#include "plot/svg_canvas.h"

#include <charconv>
#include <cmath>

namespace lumatix::plot {
namespace {

// Pixel co-ordinates to a tenth of a pixel, without trailing zeros: what a screen can show,
// in as few bytes as possible.
void appendNumber(std::string& out, double v) {
  if (!std::isfinite(v)) v = 0.0;
  double rounded = std::round(v * 10.0) / 10.0;
  if (rounded == 0.0) rounded = 0.0;  // no "-0"
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, 1);
  std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
  if (text.size() > 2 && text.substr(text.size() - 2) == ".0") text.remove_suffix(2);
  out += text;
}

std::string number(double v) {
  std::string s;
  appendNumber(s, v);
  return s;
}

std::string colour(Colour c) {
  static const char hex[] = "0123456789abcdef";
  std::string s = "#";
  for (auto b : {c.red, c.green, c.blue}) {
    s += hex[b >> 4];
    s += hex[b & 15];
  }
  return s;
}

std::string escaped(const std::string& text) {
  std::string out;
  for (char ch : text) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters are not allowed in XML text.
        if (static_cast<unsigned char>(ch) >= 0x20 || ch == '\t') out += ch;
    }
  }
  return out;
}

}  // namespace

SvgCanvas::SvgCanvas(double w, double h) : width_(w), height_(h) {}

std::string SvgCanvas::strokeAttributes() const {
  std::string s = " fill=\"none\" stroke=\"" + colour(pen_) + "\" stroke-width=\"" + number(penWidth_) + "\"";
  if (penStyle_ == PenStyle::Dotted) s += " stroke-dasharray=\"1,2\"";
  return s;
}

void SvgCanvas::flushPath() {
  if (path_.find('L') != std::string::npos) body_ += "<path d=\"" + path_ + "\"" + strokeAttributes() + "/>\n";
  path_.clear();
}

void SvgCanvas::fillRect(const Rect& r, Colour c) {
  flushPath();
  body_ += "<rect x=\"" + number(r.left) + "\" y=\"" + number(r.top) + "\" width=\"" + number(r.width()) +
           "\" height=\"" + number(r.height()) + "\" fill=\"" + colour(c) + "\"/>\n";
}

void SvgCanvas::setPen(Colour c, double w, PenStyle style) {
  flushPath();
  pen_ = c;
  penWidth_ = w;
  penStyle_ = style;
}

void SvgCanvas::moveTo(Point p) {
  if (!path_.empty() && path_.find('L') == std::string::npos) path_.clear();
  path_ += path_.empty() ? "M" : " M";
  appendNumber(path_, p.x);
  path_ += ',';
  appendNumber(path_, p.y);
}

void SvgCanvas::lineTo(Point p) {
  if (path_.empty()) moveTo(p);
  path_ += " L";
  appendNumber(path_, p.x);
  path_ += ',';
  appendNumber(path_, p.y);
}

void SvgCanvas::polyline(std::span<const Point> points) {
  flushPath();
  if (points.size() < 2) return;
  body_ += "<polyline points=\"";
  bool first = true;
  for (const Point& p : points) {
    if (!first) body_ += ' ';
    first = false;
    appendNumber(body_, p.x);
    body_ += ',';
    appendNumber(body_, p.y);
  }
  body_ += "\"" + strokeAttributes() + "/>\n";
}

void SvgCanvas::text(Point at, const std::string& text, HAlign h, VAlign v, const Font& font, Colour c,
                     double angle) {
  flushPath();
  double px = font.points * 96.0 / 72.0;
  // Baseline offsets that place the glyphs' box as asked without relying on renderer support
  // for baseline attributes.
  double dy = v == VAlign::Top ? 0.8 * px : v == VAlign::Middle ? 0.35 * px : -0.2 * px;
  const char* anchor = h == HAlign::Left ? "start" : h == HAlign::Centre ? "middle" : "end";
  body_ += "<text x=\"" + number(at.x) + "\" y=\"" + number(at.y) + "\" dy=\"" + number(dy) + "\" font-family=\"" +
           escaped(font.face) + ", sans-serif\" font-size=\"" + number(px) + "\" text-anchor=\"" + anchor +
           "\" fill=\"" + colour(c) + "\"";
  if (font.bold) body_ += " font-weight=\"bold\"";
  if (angle != 0.0) body_ += " transform=\"rotate(" + number(-angle) + " " + number(at.x) + " " + number(at.y) + ")\"";
  body_ += ">" + escaped(text) + "</text>\n";
}

void SvgCanvas::setClip(const std::optional<Rect>& clip) {
  flushPath();
  if (clipOpen_) {
    body_ += "</g>\n";
    clipOpen_ = false;
  }
  if (!clip) return;
  std::string id = "clip" + std::to_string(++clips_);
  defs_ += "<clipPath id=\"" + id + "\"><rect x=\"" + number(clip->left) + "\" y=\"" + number(clip->top) +
           "\" width=\"" + number(clip->width()) + "\" height=\"" + number(clip->height()) + "\"/></clipPath>\n";
  body_ += "<g clip-path=\"url(#" + id + ")\">\n";
  clipOpen_ = true;
}

std::string SvgCanvas::svg() {
  flushPath();
  std::string tail = clipOpen_ ? "</g>\n" : "";
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
         number(width_) + "\" height=\"" + number(height_) + "\" viewBox=\"0 0 " + number(width_) + " " +
         number(height_) + "\">\n<defs>\n" + defs_ + "</defs>\n" + body_ + tail + "</svg>\n";
}

}  // namespace lumatix::plot
