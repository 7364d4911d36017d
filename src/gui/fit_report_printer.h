#pragma once
// Printing the fit report: the report's lines (app::fitReportLines) on a printer page, one
// text height apart from the top of the printable area and clipped to it, in a print job
// named "fitting.".

#include <string>
#include <vector>

class QPrinter;

namespace lumatix::gui {

// False when the print job could not start (the caller then tells "Cannot Start Print Job.").
bool printFitReport(QPrinter& printer, const std::vector<std::string>& lines);

}  // namespace lumatix::gui
