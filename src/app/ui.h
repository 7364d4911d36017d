#pragma once
// app::Ui: the one way the program's commands reach the person using it. The Qt GUI
// implements it with real dialogs, the command line on the terminal, tests with a script.

#include <optional>
#include <string>
#include <vector>

namespace lumatix::app {

enum class Icon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
// NotShown: the message was not shown because another one was still open.
enum class Answer { Ok, Cancel, Yes, No, Retry, NotShown };

struct FileFilter {
  std::string name;     // "LumBinaryX  (*.dsx)"
  std::string pattern;  // "*.dsx"
};

// What the log-on dialog shows when it (re)opens its fields.
enum class CredentialsFocus { UserName, Password };

struct AuthenticationPrompt {
  std::string caption;     // "User Authentication"
  std::string heading;     // "Enter your username and password"
  std::string statement;   // the electronic-signature statement beside the "I Agree" box
  std::string userName;    // what the user name field holds; the password field is always empty
  CredentialsFocus focus = CredentialsFocus::UserName;
  int attemptsLeft = 3;
};

// What the person typed when pressing OK, which the dialog allows only with "I Agree" ticked.
struct Credentials {
  std::string userName;
  std::string password;
  bool agreed = false;
};

struct FileChoice {
  std::string path;
  int filterIndex = 1;  // counted from 1, in the order the filters were offered
};

class Ui {
 public:
  virtual ~Ui() = default;

  // Shows an already formatted text (never used as a format) and returns the button chosen.
  virtual Answer showMessage(const std::string& text, const std::string& caption, Icon icon, Buttons buttons) = 0;

  // Asks for a file to open or a name to save under; nullopt when the person cancels.
  virtual std::optional<FileChoice> chooseOpenFile(const std::string& title, const std::vector<FileFilter>& filters,
                                                   const std::string& folder) = 0;
  virtual std::optional<FileChoice> chooseSaveFile(const std::string& title, const std::string& suggestedName,
                                                   const std::vector<FileFilter>& filters, int filterIndex) = 0;

  // Shows the log-on dialog once; nullopt when the person cancels.
  virtual std::optional<Credentials> askCredentials(const AuthenticationPrompt& prompt) = 0;

  // Advice the person may choose never to see again: key names the message among those the
  // preferences remember. The default shows it as an information message every time.
  virtual Answer showAdvice(const std::string& key, const std::string& text, const std::string& caption);

  // Long work reports how far it has come (0..1); the default shows nothing.
  virtual void progress(const std::string& what, double fraction);
};

}  // namespace lumatix::app
