#pragma once
// A plot window's graph drawn into a picture file through the QPainter canvas, as the viewer
// draws it on screen: PNG (a white image of the given size) or PDF (a page of that size at 96
// dots per inch, lines and text kept as such). The command line uses it for `lumatix plot -o
// OUT.png|OUT.pdf`; it needs no display (Qt's offscreen platform is used when no application
// is running).

#include <string>

namespace lumatix::plot {
class Graph;
}

namespace lumatix::gui {

enum class PictureFormat { Png, Pdf };

// Writes the picture atomically: the file appears whole or not at all. Throws
// std::runtime_error with the text to show when it cannot be drawn or written.
void savePlotPicture(plot::Graph& graph, const std::string& path, PictureFormat format, int width, int height);

}  // namespace lumatix::gui
