#pragma once
// Pictures of the viewer's windows, for the gallery and for runs without a display: every
// visible top-level window is grabbed into a PNG file named after it.

#include <QString>
#include <QStringList>

namespace lumatix::app {
class PlotDocument;
}

namespace lumatix::gui {

// The file name a window's picture takes: its object name, else its title, with anything but
// letters, digits, '-' and '_' turned into '_'.
QString screenshotName(const QString& objectName, const QString& title);

// Saves every visible top-level window into folder (created when missing) and returns the
// files written, in the order of the windows.
QStringList saveScreenshots(const QString& folder);

// Pictures of the fitting dialog over the first trace of a document: as it opens, part-way
// through a fit and after it ("fittingDialog-open.png", "-fitting", "-fitted").
QStringList saveFittingDialogScreenshots(const QString& folder, const app::PlotDocument& document);

}  // namespace lumatix::gui
