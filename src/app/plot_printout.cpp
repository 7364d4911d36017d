#include "app/plot_printout.h"

#include "app/plot_document.h"
#include "platform/clock.h"

namespace lumatix::app {
namespace {

// The lines of a text whose lines end in "\r\n" (or "\n"), without their ends.
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

PrintChoice initialPrintChoice(bool compliant) { return {true, compliant}; }

void setRemarksAndSettings(PrintChoice& choice, bool on) { choice.remarksAndSettings = on || choice.remarksLocked; }

PlotPrintout plotPrintout(const PlotDocument& document, const PrintChoice& choice) {
  PlotPrintout out;
  out.file = "File : " + plotWindowTitle(document.filePath());
  out.date = platform::formatTime(platform::localTime(), "%A, %B %d, %Y");
  out.withRemarksAndSettings = choice.remarksAndSettings || choice.remarksLocked;
  if (out.withRemarksAndSettings) {
    out.remarks = linesOf(document.remarksText());
    out.history = linesOf(document.historyText());
  }
  return out;
}

}  // namespace lumatix::app
