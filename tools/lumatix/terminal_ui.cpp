#include "terminal_ui.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <utility>

#include "cli_support.h"

namespace lumatix::cli {

TerminalUi::TerminalUi(std::ostream& err, bool yes, bool progressBar) : err_(err), yes_(yes), progressBar_(progressBar) {}

bool TerminalUi::stderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void TerminalUi::setSaveTarget(std::string path, int filterIndex) {
  saveTarget_ = app::FileChoice{std::move(path), filterIndex};
}

void TerminalUi::endBar() {
  if (shownPercent_ < 0) return;
  err_ << '\n';
  shownPercent_ = -1;
}

app::Answer TerminalUi::showMessage(const std::string& text, const std::string&, app::Icon, app::Buttons buttons) {
  endBar();
  ++shown_;
  // A question that --yes answers is not put: printing it would read as if it were waiting.
  if (yes_ && buttons != app::Buttons::Ok && buttons != app::Buttons::RetryCancel)
    return buttons == app::Buttons::OkCancel ? app::Answer::Ok : app::Answer::Yes;
  const std::string said = forPerson(text);
  printText(err_, said);
  if (said.empty() || said.back() != '\n') err_ << '\n';
  err_.flush();
  switch (buttons) {
    case app::Buttons::Ok:
      return app::Answer::Ok;
    case app::Buttons::OkCancel:
      return yes_ ? app::Answer::Ok : app::Answer::Cancel;
    case app::Buttons::RetryCancel:
      // Retrying without a person to change anything would ask again for ever.
      return app::Answer::Cancel;
    case app::Buttons::YesNo:
    case app::Buttons::YesNoCancel:
      break;
  }
  return yes_ ? app::Answer::Yes : app::Answer::No;
}

std::optional<app::FileChoice> TerminalUi::chooseOpenFile(const std::string&, const std::vector<app::FileFilter>&,
                                                          const std::string&) {
  return std::nullopt;
}

std::optional<app::FileChoice> TerminalUi::chooseSaveFile(const std::string&, const std::string&,
                                                          const std::vector<app::FileFilter>&, int) {
  return std::exchange(saveTarget_, std::nullopt);
}

std::optional<app::Credentials> TerminalUi::askCredentials(const app::AuthenticationPrompt&) { return std::nullopt; }

void TerminalUi::progress(const std::string& what, double fraction) {
  if (!progressBar_) return;
  const double f = std::clamp(std::isfinite(fraction) ? fraction : 0.0, 0.0, 1.0);
  const int percent = static_cast<int>(f * 100.0);
  if (percent == shownPercent_) return;
  shownPercent_ = percent;
  constexpr int kWidth = 40;
  const int filled = percent * kWidth / 100;
  err_ << '\r' << what << " [" << std::string(static_cast<std::size_t>(filled), '#')
       << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << percent << '%' << std::flush;
  if (percent == 100) endBar();
}

}  // namespace lumatix::cli
