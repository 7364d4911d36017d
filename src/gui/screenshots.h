#pragma once
// Pictures of the viewer's windows, for the gallery and for runs without a display: every
// visible top-level window is grabbed into a PNG file named after it.

#include <QString>
#include <QStringList>

namespace lumatix::gui {

// The file name a window's picture takes: its object name, else its title, with anything but
// letters, digits, '-' and '_' turned into '_'.
QString screenshotName(const QString& objectName, const QString& title);

// Saves every visible top-level window into folder (created when missing) and returns the
// files written, in the order of the windows.
QStringList saveScreenshots(const QString& folder);

}  // namespace lumatix::gui
