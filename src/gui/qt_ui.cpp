#include "gui/qt_ui.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "gui/user_authentication_dialog.h"

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

QStringList filterTexts(const std::vector<app::FileFilter>& filters) {
  QStringList texts;
  for (const auto& f : filters) texts << filterText(f);
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
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  QStringList texts = filterTexts(filters);
  if (!texts.isEmpty()) {
    dialog.setNameFilters(texts);
    if (filterIndex >= 1 && filterIndex <= texts.size()) dialog.selectNameFilter(texts[filterIndex - 1]);
  }
  if (!suggestedName.empty()) dialog.selectFile(QString::fromStdString(suggestedName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return app::FileChoice{dialog.selectedFiles().front().toStdString(), indexOf(texts, dialog.selectedNameFilter())};
}

std::optional<app::Credentials> QtUi::askCredentials(const app::AuthenticationPrompt& prompt) {
  UserAuthenticationDialog dialog(prompt, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.credentials();
}

}  // namespace lumatix::gui
