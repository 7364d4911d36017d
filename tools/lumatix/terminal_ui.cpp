#include "terminal_ui.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "cli_support.h"

namespace lumatix::cli {

TerminalUi::TerminalUi(std::ostream& err, bool yes) : err_(err), yes_(yes) {}

void TerminalUi::setSaveTarget(std::string path, int filterIndex) {
  saveTarget_ = app::FileChoice{std::move(path), filterIndex};
}

app::Answer TerminalUi::showMessage(const std::string& text, const std::string&, app::Icon, app::Buttons buttons) {
  if (barOpen_) {
    err_ << '\n';
    barOpen_ = false;
  }
  ++shown_;
  printText(err_, text);
  if (text.empty() || text.back() != '\n') err_ << '\n';
  switch (buttons) {
    case app::Buttons::Ok:
      return app::Answer::Ok;
    case app::Buttons::OkCancel:
      return yes_ ? app::Answer::Ok : app::Answer::Cancel;
    case app::Buttons::YesNo:
    case app::Buttons::YesNoCancel:
      return yes_ ? app::Answer::Yes : app::Answer::No;
    case app::Buttons::RetryCancel:
      // Retrying on a terminal could go on for ever: nothing would change between tries.
      return app::Answer::Cancel;
  }
  return app::Answer::Cancel;
}

std::optional<app::FileChoice> TerminalUi::chooseOpenFile(const std::string&, const std::vector<app::FileFilter>&,
                                                          const std::string&) {
  return std::nullopt;
}

std::optional<app::FileChoice> TerminalUi::chooseSaveFile(const std::string&, const std::string&,
                                                          const std::vector<app::FileFilter>&, int) {
  return std::exchange(saveTarget_, std::nullopt);
}

void TerminalUi::progress(const std::string& what, double fraction) {
  if (!isatty(STDERR_FILENO)) return;
  const double f = std::clamp(std::isfinite(fraction) ? fraction : 0.0, 0.0, 1.0);
  constexpr int kWidth = 40;
  const int filled = static_cast<int>(f * kWidth);
  err_ << '\r' << what << " [" << std::string(static_cast<std::size_t>(filled), '#')
       << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << static_cast<int>(f * 100) << '%';
  barOpen_ = f < 1.0;
  if (!barOpen_) err_ << '\n';
  err_.flush();
}

}  // namespace lumatix::cli
