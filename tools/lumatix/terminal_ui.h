#pragma once
// app::Ui on a terminal: every message goes to standard error, a question takes the answer
// given on the command line (--yes / --no, No without either), the save dialog names the
// output file of the command, and nothing ever waits on standard input.

#include <optional>
#include <ostream>
#include <string>

#include "app/ui.h"

namespace lumatix::cli {

class TerminalUi : public app::Ui {
 public:
  explicit TerminalUi(std::ostream& err, bool yes = false);

  // What the next save dialog answers; without it the dialog counts as cancelled.
  void setSaveTarget(std::string path, int filterIndex);

  app::Answer showMessage(const std::string& text, const std::string& caption, app::Icon icon,
                          app::Buttons buttons) override;
  std::optional<app::FileChoice> chooseOpenFile(const std::string& title, const std::vector<app::FileFilter>& filters,
                                                const std::string& folder) override;
  std::optional<app::FileChoice> chooseSaveFile(const std::string& title, const std::string& suggestedName,
                                                const std::vector<app::FileFilter>& filters, int filterIndex) override;
  // A bar on standard error, only when it is a terminal.
  void progress(const std::string& what, double fraction) override;

  // How many messages were shown; the commands use it to tell a refusal already reported.
  int messagesShown() const { return shown_; }

 private:
  std::ostream& err_;
  bool yes_;
  std::optional<app::FileChoice> saveTarget_;
  int shown_ = 0;
  bool barOpen_ = false;
};

}  // namespace lumatix::cli
