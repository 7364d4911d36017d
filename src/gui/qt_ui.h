#pragma once
// QtUi: the viewer's app::Ui. Messages are top-most message boxes with the given caption,
// icon and buttons, their text shown as plain text; while one message is open a further
// message is not shown (Answer::NotShown), so a timer or a notice arriving during a modal box
// cannot stack a second one on top. File choosers and the log-on dialog are modal to the
// parent widget. A name chosen in the save dialog that a save would refuse (a read-only file,
// a device, a folder that cannot be written into) is refused there and then, with the reason,
// and the dialog is offered again for another name. Advice the person silenced ("Do not show
// this message again") is remembered in the preferences given by setSettings.

#include <QPointer>
#include <QWidget>

#include "app/ui.h"

namespace lumatix::platform {
class SettingsStore;
}

namespace lumatix::gui {

class QtUi : public app::Ui {
 public:
  explicit QtUi(QWidget* parent = nullptr) : parent_(parent) {}

  // The window the dialogs are modal to (the main frame once it exists).
  void setParent(QWidget* parent) { parent_ = parent; }
  QWidget* parent() const { return parent_; }
  bool messageShowing() const { return showing_; }
  // Where silenced advice is remembered; without it advice is always shown, without its box.
  void setSettings(platform::SettingsStore* settings) { settings_ = settings; }

  app::Answer showMessage(const std::string& text, const std::string& caption, app::Icon icon,
                          app::Buttons buttons) override;
  std::optional<app::FileChoice> chooseOpenFile(const std::string& title, const std::vector<app::FileFilter>& filters,
                                                const std::string& folder) override;
  std::optional<app::FileChoice> chooseSaveFile(const std::string& title, const std::string& suggestedName,
                                                const std::vector<app::FileFilter>& filters, int filterIndex) override;
  std::optional<app::Credentials> askCredentials(const app::AuthenticationPrompt& prompt) override;
  app::Answer showAdvice(const std::string& key, const std::string& text, const std::string& caption) override;

 private:
  QPointer<QWidget> parent_;
  platform::SettingsStore* settings_ = nullptr;
  bool showing_ = false;
};

// The file dialog's filter text of one filter: the name when it already holds its pattern in
// parentheses, else "name (pattern)" ("*" for an empty pattern).
QString filterText(const app::FileFilter& filter);

}  // namespace lumatix::gui
