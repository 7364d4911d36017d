#pragma once
// The app::Ui of the command line: messages go to standard error as they stand, a question
// is answered No (nothing waits on standard input), and no file dialog can open.

#include <ostream>

#include "app/ui.h"

namespace lumatix::cli {

class TerminalUi : public app::Ui {
 public:
  explicit TerminalUi(std::ostream& out) : out_(out) {}

  app::Answer showMessage(const std::string& text, const std::string& caption, app::Icon icon,
                          app::Buttons buttons) override;
  std::optional<app::FileChoice> chooseOpenFile(const std::string& title, const std::vector<app::FileFilter>& filters,
                                                const std::string& folder) override;
  std::optional<app::FileChoice> chooseSaveFile(const std::string& title, const std::string& suggestedName,
                                                const std::vector<app::FileFilter>& filters, int filterIndex) override;
  // The command line never logs anybody on.
  std::optional<app::Credentials> askCredentials(const app::AuthenticationPrompt& prompt) override;

 private:
  std::ostream& out_;
};

}  // namespace lumatix::cli
