#pragma once
// What the viewer's dialogs share: their place kept between openings, the line saying why they
// cannot be accepted yet, and OK with Cancel.

#include <QString>

class QDialog;
class QDialogButtonBox;
class QLabel;
class QWidget;

namespace lumatix::gui {

// Dialogs come back where the person left them and at the size they gave them, for as long as
// the viewer runs: a dialog is remembered by its object name.

// Restores the place and size last remembered for the dialog's object name (nothing the first
// time) and remembers them whenever the dialog is hidden or closed from now on.
void keepPlace(QWidget* dialog);

// The line under a dialog's fields that says what is wrong with them, in dark red.
QLabel* makeHintLabel(QWidget* parent, const QString& objectName, const QString& accessibleName);
// OK and Cancel, wired to the dialog's accept() and reject().
QDialogButtonBox* makeOkCancel(QDialog* dialog);

}  // namespace lumatix::gui
