#pragma once
// The store's texts as the plot window shows them: "DataStore Info", "Remarks" and "History".
// Read-only, selectable and copyable ("Copy" takes the whole text), closed by Close or Escape.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace lumatix::gui {

class TextViewDialog : public QDialog {
  Q_OBJECT
 public:
  // text: lines ending in "\r\n" or "\n".
  TextViewDialog(const QString& objectName, const QString& title, const std::string& text, QWidget* parent = nullptr);

  QPlainTextEdit* text() const { return text_; }
  QPushButton* copyButton() const { return copy_; }

 private:
  QPlainTextEdit* text_;
  QPushButton* copy_;
};

}  // namespace lumatix::gui
