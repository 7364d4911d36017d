#pragma once
// Pictures of the viewer's dialogs for the gallery: each dialog is opened on a CD measurement
// (and the temperature ramp for its own dialog), drawn offscreen into a PNG file named after it,
// and closed again. Nothing is written but the pictures.

#include <QString>
#include <QStringList>

namespace lumatix::gui {

// melt: a CD file of several traces; ramp: a Temperature x Wavelength file. Returns the files
// written.
QStringList saveDialogPictures(const QString& folder, const QString& melt, const QString& ramp);

}  // namespace lumatix::gui
