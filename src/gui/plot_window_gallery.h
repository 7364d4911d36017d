#pragma once
// Pictures of a plot window in use, for the gallery: each menu open, the context menu over a
// trace, the legend with the grid and a selection, a zoom rectangle being drawn and the print
// preview. The window is left as it was found.

#include <QString>
#include <QStringList>

namespace lumatix::gui {

// Saves the pictures of the first visible plot window that shows traces into folder, named
// "plotWindow-...png"; returns the files written (none without such a window).
QStringList savePlotWindowGallery(const QString& folder);

}  // namespace lumatix::gui
