#pragma once
// app::Ui on a terminal, for commands that never wait for the person: messages go to
// standard error, a question takes the answer given on the command line (--yes / --no, No
// without either), the save dialog names the command's output file, and long work draws a
// progress bar when standard error is a terminal.

#include <iosfwd>
#include <optional>
#include <string>

#include "app/ui.h"

namespace lumatix::cli {

class TerminalUi : public app::Ui {
 public:
  // yes: the answer to every question is Yes (OK), else No (Cancel).
  explicit TerminalUi(std::ostream& err, bool yes = false, bool progressBar = stderrIsTerminal());

  // What the next save dialog answers; without it the dialog counts as cancelled.
  void setSaveTarget(std::string path, int filterIndex);

  app::Answer showMessage(const std::string& text, const std::string& caption, app::Icon icon,
                          app::Buttons buttons) override;
  // There are no open dialogs on the command line (paths come as arguments), and nobody logs
  // on there: both read as Cancel.
  std::optional<app::FileChoice> chooseOpenFile(const std::string& title, const std::vector<app::FileFilter>& filters,
                                                const std::string& folder) override;
  std::optional<app::FileChoice> chooseSaveFile(const std::string& title, const std::string& suggestedName,
                                                const std::vector<app::FileFilter>& filters, int filterIndex) override;
  std::optional<app::Credentials> askCredentials(const app::AuthenticationPrompt& prompt) override;
  void progress(const std::string& what, double fraction) override;

  // How many messages were shown; the commands use it to tell a refusal already reported.
  int messagesShown() const { return shown_; }

  // True when standard error is a terminal.
  static bool stderrIsTerminal();

 private:
  void endBar();

  std::ostream& err_;
  bool yes_;
  bool progressBar_;
  std::optional<app::FileChoice> saveTarget_;
  int shown_ = 0;
  int shownPercent_ = -1;
};

}  // namespace lumatix::cli
