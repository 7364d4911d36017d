#pragma once
// app::Ui on a terminal, for commands that never wait for the person: messages go to
// standard error, questions take the answer given on the command line (--yes / --no, No
// by default), and long work draws a progress bar when standard error is a terminal.

#include <iosfwd>

#include "app/ui.h"

namespace lumatix::cli {

class TerminalUi : public app::Ui {
 public:
  // yes: the answer to every question is Yes (OK), else No (Cancel).
  TerminalUi(std::ostream& err, bool yes, bool progressBar);

  app::Answer showMessage(const std::string& text, const std::string& caption, app::Icon icon,
                          app::Buttons buttons) override;
  // There are no dialogs on the command line: the paths come as arguments, so a file
  // dialog or the log-on dialog reads as Cancel.
  std::optional<app::FileChoice> chooseOpenFile(const std::string& title, const std::vector<app::FileFilter>& filters,
                                                const std::string& folder) override;
  std::optional<app::FileChoice> chooseSaveFile(const std::string& title, const std::string& suggestedName,
                                                const std::vector<app::FileFilter>& filters, int filterIndex) override;
  std::optional<app::Credentials> askCredentials(const app::AuthenticationPrompt& prompt) override;
  void progress(const std::string& what, double fraction) override;

  // True when standard error is a terminal.
  static bool stderrIsTerminal();

 private:
  void endBar();

  std::ostream& err_;
  bool yes_;
  bool progressBar_;
  int shownPercent_ = -1;
};

}  // namespace lumatix::cli
