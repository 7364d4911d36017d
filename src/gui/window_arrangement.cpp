#include "gui/window_arrangement.h"

#include <QScreen>

#include <algorithm>
#include <cmath>

namespace lumatix::gui {

std::vector<QRect> cascadeGeometries(const QRect& area, int n, int step) {
  std::vector<QRect> out;
  if (n <= 0) return out;
  // Two thirds of the area, or less when many windows must step down inside it.
  const int width = std::max(200, area.width() * 2 / 3);
  const int height = std::max(150, area.height() * 2 / 3);
  const int room = std::max(1, std::min((area.width() - width) / std::max(1, step),
                                        (area.height() - height) / std::max(1, step)) + 1);
  for (int i = 0; i < n; ++i) {
    const int k = i % room;
    out.emplace_back(area.left() + k * step, area.top() + k * step, width, height);
  }
  return out;
}

std::vector<QRect> tileGeometries(const QRect& area, int n) {
  std::vector<QRect> out;
  if (n <= 0) return out;
  const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
  const int rows = (n + columns - 1) / columns;
  const int height = area.height() / rows;
  for (int r = 0; r < rows; ++r) {
    const int inRow = std::min(columns, n - r * columns);
    const int width = area.width() / inRow;
    for (int c = 0; c < inRow; ++c)
      out.emplace_back(area.left() + c * width, area.top() + r * height, width, height);
  }
  return out;
}

namespace {

void place(const std::vector<QWidget*>& windows, const std::vector<QRect>& frames) {
  for (std::size_t i = 0; i < windows.size() && i < frames.size(); ++i) {
    QWidget* w = windows[i];
    if (w->isMinimized() || w->isMaximized()) w->showNormal();
    // The geometries hold the frames; the window's own geometry is inside its frame.
    const QRect frame = w->frameGeometry(), inner = w->geometry();
    const int left = inner.left() - frame.left(), top = inner.top() - frame.top();
    const int extraWidth = frame.width() - inner.width(), extraHeight = frame.height() - inner.height();
    w->setGeometry(frames[i].left() + left, frames[i].top() + top, std::max(1, frames[i].width() - extraWidth),
                   std::max(1, frames[i].height() - extraHeight));
    w->raise();
  }
}

QRect areaOf(const std::vector<QWidget*>& windows) {
  QScreen* screen = windows.empty() ? nullptr : windows.front()->screen();
  return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

void cascadeWindows(const std::vector<QWidget*>& windows) {
  place(windows, cascadeGeometries(areaOf(windows), static_cast<int>(windows.size()), 32));
}

void tileWindows(const std::vector<QWidget*>& windows) {
  place(windows, tileGeometries(areaOf(windows), static_cast<int>(windows.size())));
}

}  // namespace lumatix::gui
