#pragma once
// Printing a plot window: the print dialog with the "Print Remarks and Settings" box, the
// print preview, and the pages themselves (the plot under the file and the date, then the
// remarks and the history when asked). Printers are driven at 96 dots per inch, the screen's
// pixels, so that the plot is laid out as on screen and comes out as lines and text.

#include <QRectF>

#include "app/plot_printout.h"

class QCheckBox;
class QPainter;
class QPrinter;
class QPrintDialog;
class QPrintPreviewDialog;
class QWidget;

namespace lumatix::gui {

class PlotView;

// The print dialog with the box on a tab of its own, ticked per `choice` and disabled when
// the choice is locked. The box's object name is "printRemarksAndSettings".
QPrintDialog* makePrintDialog(QPrinter& printer, app::PrintChoice& choice, QWidget* parent);
// The preview dialog with the same box in its tool bar; the preview follows the box.
QPrintPreviewDialog* makePrintPreview(QPrinter& printer, app::PrintChoice& choice, PlotView& view,
                                      const app::PlotPrintout& withRemarks, QWidget* parent);

// Prints the pages on an active painter of the printer. False when the printer did not start.
bool printPages(QPrinter& printer, PlotView& view, const app::PlotPrintout& printout);

}  // namespace lumatix::gui
