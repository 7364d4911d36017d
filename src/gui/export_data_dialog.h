#pragma once
// "Export Data": the compliance warning, the "Select Data Format" choice and the file to write,
// over an app::ExportDialogModel. "Browse..." offers the save dialog for the name; OK runs the
// model's checks (a target that cannot be written, the replace question) and stays open when
// one fails.

#include <QDialog>

#include "app/export_dialog.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lumatix::gui {

class ExportDataDialog : public QDialog {
  Q_OBJECT
 public:
  ExportDataDialog(app::ExportDialogModel& model, app::Ui& ui, QWidget* parent = nullptr);

  QLabel* warning() const { return warning_; }
  QComboBox* format() const { return format_; }
  QLineEdit* fileName() const { return file_; }
  QPushButton* browse() const { return browse_; }
  QDialogButtonBox* buttons() const { return buttons_; }

  void accept() override;

 private:
  void browseForFile();

  app::ExportDialogModel& model_;
  app::Ui& ui_;
  QLabel* warning_;
  QComboBox* format_;
  QLineEdit* file_;
  QPushButton* browse_;
  QDialogButtonBox* buttons_;
};

}  // namespace lumatix::gui
