#pragma once
// UnattendedUi: the Ui of runs without a person (the picture gallery, benchmarks, fuzzing).
// Nothing waits: a message gets the one answer given (and is written to `log` when one is
// given), a file chooser and the log-on dialog are cancelled. Derive to answer otherwise.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/ui.h"

namespace lumatix::app {

class UnattendedUi : public Ui {
 public:
  explicit UnattendedUi(std::ostream* log = nullptr, Answer answer = Answer::Ok) : log_(log), answer_(answer) {}

  Answer showMessage(const std::string& text, const std::string&, Icon, Buttons) override {
    if (log_ != nullptr) *log_ << "message: " << text << '\n';
    return answer_;
  }
  std::optional<FileChoice> chooseOpenFile(const std::string&, const std::vector<FileFilter>&,
                                           const std::string&) override {
    return std::nullopt;
  }
  std::optional<FileChoice> chooseSaveFile(const std::string&, const std::string&, const std::vector<FileFilter>&,
                                           int) override {
    return std::nullopt;
  }
  std::optional<Credentials> askCredentials(const AuthenticationPrompt&) override { return std::nullopt; }

 private:
  std::ostream* log_;
  Answer answer_;
};

}  // namespace lumatix::app
