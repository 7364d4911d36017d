#pragma once
// AboutDialog: "About Lumatix Viewer": the program's name, version and build stamp
// (app::aboutText), and OK.

#include <QDialog>

class QLabel;

namespace lumatix::gui {

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr);
  QLabel* textLabel() const { return text_; }

 private:
  QLabel* text_;
};

}  // namespace lumatix::gui
