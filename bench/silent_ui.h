#pragma once
// A Ui for the benchmarks: every question gets the one answer given, no file is chosen and
// nobody logs on, so that a measured run never waits on a person.

#include <optional>
#include <string>
#include <vector>

#include "app/ui.h"

namespace lumatix::bench {

class SilentUi : public app::Ui {
 public:
  explicit SilentUi(app::Answer answer = app::Answer::Ok) : answer_(answer) {}

  app::Answer showMessage(const std::string&, const std::string&, app::Icon, app::Buttons) override { return answer_; }
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
  app::Answer answer_;
};

}  // namespace lumatix::bench
