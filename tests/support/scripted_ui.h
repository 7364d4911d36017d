#pragma once
// A Ui for tests: answers from a script, records everything it was shown or asked.

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/ui.h"

namespace lumatix::testing {

class ScriptedUi : public app::Ui {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    app::Icon icon;
    app::Buttons buttons;
  };

  // Answers to give, in order, to the messages that ask something (buttons other than Ok).
  std::deque<app::Answer> answers;
  // Files to hand out, in order, to the open and save dialogs; an empty path means Cancel.
  std::deque<app::FileChoice> files;

  // Answers to the log-on dialog, in order; nullopt means Cancel.
  std::deque<std::optional<app::Credentials>> credentials;

  std::vector<Shown> shown;
  std::vector<app::AuthenticationPrompt> prompts;
  std::vector<std::string> fileDialogs;
  std::vector<std::pair<std::string, double>> progressSeen;

  app::Answer showMessage(const std::string& text, const std::string& caption, app::Icon icon,
                          app::Buttons buttons) override {
    shown.push_back({text, caption, icon, buttons});
    if (buttons == app::Buttons::Ok) return app::Answer::Ok;
    if (answers.empty()) throw std::logic_error("ScriptedUi: unexpected question: " + text);
    app::Answer a = answers.front();
    answers.pop_front();
    return a;
  }

  std::optional<app::FileChoice> chooseOpenFile(const std::string& title, const std::vector<app::FileFilter>&,
                                                const std::string&) override {
    return nextFile(title);
  }

  std::optional<app::FileChoice> chooseSaveFile(const std::string& title, const std::string&,
                                                const std::vector<app::FileFilter>&, int) override {
    return nextFile(title);
  }

  std::optional<app::Credentials> askCredentials(const app::AuthenticationPrompt& prompt) override {
    prompts.push_back(prompt);
    if (credentials.empty()) throw std::logic_error("ScriptedUi: unexpected log-on dialog");
    auto c = credentials.front();
    credentials.pop_front();
    return c;
  }

  void progress(const std::string& what, double fraction) override { progressSeen.emplace_back(what, fraction); }

  // The texts of every message shown, in order.
  std::vector<std::string> texts() const {
    std::vector<std::string> t;
    for (const auto& s : shown) t.push_back(s.text);
    return t;
  }

 private:
  std::optional<app::FileChoice> nextFile(const std::string& title) {
    fileDialogs.push_back(title);
    if (files.empty()) throw std::logic_error("ScriptedUi: unexpected file dialog: " + title);
    app::FileChoice f = files.front();
    files.pop_front();
    if (f.path.empty()) return std::nullopt;
    return f;
  }
};

}  // namespace lumatix::testing
