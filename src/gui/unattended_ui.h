#pragma once
// UnattendedUi: the app::Ui of runs without a person (the picture gallery, measured runs).
// Nothing waits: a message is answered OK (and written to `log` when one is given), a file
// chooser and the log-on dialog are cancelled.

#include <ostream>

#include "app/ui.h"

namespace lumatix::gui {

class UnattendedUi : public app::Ui {
 public:
  explicit UnattendedUi(std::ostream* log = nullptr) : log_(log) {}

  app::Answer showMessage(const std::string& text, const std::string&, app::Icon, app::Buttons) override {
    if (log_ != nullptr) *log_ << "message: " << text << '\n';
    return app::Answer::Ok;
  }
  std::optional<app::FileChoice> chooseOpenFile(const std::string&, const std::vector<app::FileFilter>&,
                                                const std::string&) override {
    return std::nullopt;
  }
  std::optional<app::FileChoice> chooseSaveFile(const std::string&, const std::string&,
                                                const std::vector<app::FileFilter>&, int) override {
    return std::nullopt;
  }
  std::optional<app::Credentials> askCredentials(const app::AuthenticationPrompt&) override { return std::nullopt; }

 private:
  std::ostream* log_;
};

}  // namespace lumatix::gui
