#include "gui/qt_ui.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "app/message_preferences.h"
#include "app/save_target.h"
#include "gui/user_authentication_dialog.h"
#include "platform/settings_store.h"
#include "widgets/checked_message_box.h"

namespace lumatix::gui {

namespace {

QMessageBox::Icon toQt(app::Icon icon) {
  switch (icon) {
    case app::Icon::Information: return QMessageBox::Information;
    case app::Icon::Warning: return QMessageBox::Warning;
    case app::Icon::Error: return QMessageBox::Critical;
    case app::Icon::Question: return QMessageBox::Question;
    case app::Icon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(app::Buttons buttons) {
  switch (buttons) {
    case app::Buttons::Ok: return QMessageBox::Ok;
    case app::Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case app::Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case app::Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case app::Buttons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

// A box closed by its title bar or Escape answers as its way out: Cancel where it has one,
// No for a Yes/No question, OK for a plain message.
app::Answer wayOut(app::Buttons buttons) {
  switch (buttons) {
    case app::Buttons::Ok: return app::Answer::Ok;
    case app::Buttons::YesNo: return app::Answer::No;
    default: return app::Answer::Cancel;
  }
}

// As the file dialog keeps them: it simplifies the blanks of every filter it is given, so the
// chosen filter is found among these, not among the texts as written.
QStringList filterTexts(const std::vector<app::FileFilter>& filters) {
  QStringList texts;
  for (const auto& f : filters) texts << filterText(f).simplified();
  return texts;
}

int indexOf(const QStringList& texts, const QString& chosen) {
  int i = static_cast<int>(texts.indexOf(chosen));
  return i < 0 ? 1 : i + 1;
}

}  // namespace

QString filterText(const app::FileFilter& filter) {
  QString name = QString::fromStdString(filter.name).trimmed();
  if (name.contains('(') && name.endsWith(')')) return name;
  QString pattern = filter.pattern.empty() ? QStringLiteral("*") : QString::fromStdString(filter.pattern);
  return name + QStringLiteral(" (") + pattern + QStringLiteral(")");
}

app::Answer QtUi::showMessage(const std::string& text, const std::string& caption, app::Icon icon,
                              app::Buttons buttons) {
  if (showing_) return app::Answer::NotShown;
  showing_ = true;
  QMessageBox box(toQt(icon), QString::fromStdString(caption), QString::fromStdString(text), toQt(buttons), parent_);
  box.setTextFormat(Qt::PlainText);
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  box.setAccessibleName(QString::fromStdString(caption));
  for (QAbstractButton* button : box.buttons()) button->setAccessibleName(button->text().remove('&'));
  box.exec();
  showing_ = false;
  switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok: return app::Answer::Ok;
    case QMessageBox::Cancel: return app::Answer::Cancel;
    case QMessageBox::Yes: return app::Answer::Yes;
    case QMessageBox::No: return app::Answer::No;
    case QMessageBox::Retry: return app::Answer::Retry;
    default: return wayOut(buttons);
  }
}

std::optional<app::FileChoice> QtUi::chooseOpenFile(const std::string& title, const std::vector<app::FileFilter>& filters,
                                                    const std::string& folder) {
  QFileDialog dialog(parent_, QString::fromStdString(title), QString::fromStdString(folder));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  QStringList texts = filterTexts(filters);
  if (!texts.isEmpty()) dialog.setNameFilters(texts);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return app::FileChoice{dialog.selectedFiles().front().toStdString(), indexOf(texts, dialog.selectedNameFilter())};
}

std::optional<app::FileChoice> QtUi::chooseSaveFile(const std::string& title, const std::string& suggestedName,
                                                    const std::vector<app::FileFilter>& filters, int filterIndex) {
  QFileDialog dialog(parent_, QString::fromStdString(title));
  dialog.setObjectName(QStringLiteral("saveDialog"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The replace question comes after the checks below: a file that cannot be replaced is not
  // offered for replacing.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  QStringList texts = filterTexts(filters);
  if (!texts.isEmpty()) {
    dialog.setNameFilters(texts);
    if (filterIndex >= 1 && filterIndex <= texts.size()) dialog.selectNameFilter(texts[filterIndex - 1]);
  }
  if (!suggestedName.empty()) dialog.selectFile(QString::fromStdString(suggestedName));
  for (;;) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const std::string path = dialog.selectedFiles().front().toStdString();
    const std::string refusal = app::saveTargetRefusal(path);
    const QFileInfo target(QString::fromStdString(path));
    // The dialog comes back as it was, in the same folder with the same name, for the person to
    // change.
    if (!refusal.empty()) {
      showMessage(refusal + "\n\nPlease choose another name.", title, app::Icon::Warning, app::Buttons::Ok);
      continue;
    }
    if (target.exists() && !target.isDir() &&
        showMessage(target.fileName().toStdString() + " already exists.\nDo you want to replace it?", title,
                    app::Icon::Warning, app::Buttons::YesNo) != app::Answer::Yes)
      continue;
    return app::FileChoice{path, indexOf(texts, dialog.selectedNameFilter())};
  }
}

std::optional<app::Credentials> QtUi::askCredentials(const app::AuthenticationPrompt& prompt) {
  UserAuthenticationDialog dialog(prompt, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.credentials();
}

app::Answer QtUi::showAdvice(const std::string& key, const std::string& text, const std::string& caption) {
  if (key.empty() || settings_ == nullptr) return showMessage(text, caption, app::Icon::Information, app::Buttons::Ok);
  if (app::adviceSilenced(*settings_, key)) return app::Answer::NotShown;
  if (showing_) return app::Answer::NotShown;
  showing_ = true;
  widgets::CheckedMessageBox box(QMessageBox::Information, QString::fromStdString(caption),
                                 QString::fromStdString(text), QMessageBox::Ok, parent_);
  box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  box.exec();
  showing_ = false;
  if (box.dontShowAgain()) {
    try {
      app::silenceAdvice(*settings_, key);
    } catch (const std::exception& e) {
      showMessage(e.what(), caption, app::Icon::Warning, app::Buttons::Ok);
    }
  }
  return app::Answer::Ok;
}

}  // namespace lumatix::gui
