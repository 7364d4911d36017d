#pragma once
// Dialogs come back where the person left them and at the size they gave them, for as long as
// the viewer runs: a dialog is remembered by its object name.

class QWidget;

namespace lumatix::gui {

// Restores the place and size last remembered for the dialog's object name (nothing the first
// time) and remembers them whenever the dialog is hidden or closed from now on.
void keepPlace(QWidget* dialog);

}  // namespace lumatix::gui
