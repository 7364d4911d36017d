#include "terminal_ui.h"

#include "cli_support.h"

namespace lumatix::cli {

app::Answer TerminalUi::showMessage(const std::string& text, const std::string&, app::Icon, app::Buttons buttons) {
  printText(out_, text);
  if (!text.empty() && text.back() != '\n') out_ << '\n';
  out_.flush();
  switch (buttons) {
    case app::Buttons::Ok: return app::Answer::Ok;
    case app::Buttons::OkCancel:
    case app::Buttons::RetryCancel: return app::Answer::Cancel;
    case app::Buttons::YesNo:
    case app::Buttons::YesNoCancel: return app::Answer::No;
  }
  return app::Answer::Cancel;
}

std::optional<app::FileChoice> TerminalUi::chooseOpenFile(const std::string&, const std::vector<app::FileFilter>&,
                                                          const std::string&) {
  return std::nullopt;
}

std::optional<app::FileChoice> TerminalUi::chooseSaveFile(const std::string&, const std::string&,
                                                          const std::vector<app::FileFilter>&, int) {
  return std::nullopt;
}

std::optional<app::Credentials> TerminalUi::askCredentials(const app::AuthenticationPrompt&) { return std::nullopt; }

}  // namespace lumatix::cli
