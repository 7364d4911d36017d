#pragma once
// "Cascade" and "Tile" for top-level windows: the plot windows are laid over the available
// area of the screen the first of them is on.

#include <QRect>
#include <QWidget>

#include <vector>

namespace lumatix::gui {

// The geometries (frames included) that cascade n windows over `area`: each a step right of
// and below the one before, all the same size, starting again at the top left when the next
// would leave the area.
std::vector<QRect> cascadeGeometries(const QRect& area, int n, int step);
// The geometries that tile n windows over `area` in a grid of ceil(sqrt(n)) columns, the
// last row's windows sharing its width.
std::vector<QRect> tileGeometries(const QRect& area, int n);

// Moves the windows (in the given order) into those geometries on their screen.
void cascadeWindows(const std::vector<QWidget*>& windows);
void tileWindows(const std::vector<QWidget*>& windows);

}  // namespace lumatix::gui
