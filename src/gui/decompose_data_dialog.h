#pragma once
// "Decompose Data": a row per dimension ("Name", "Range Min", "Range Max", "Primary") and the
// root folder, over an app::DecomposeDialogModel. "Save Subsets..." decomposes into the root
// folder, "Save As..." into a new tree named in the save dialog; both stay disabled while the
// rows cannot be decomposed, and the line under the table says why.

#include <QDialog>

#include <optional>
#include <string>

#include "app/decompose_dialog.h"

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace lumatix::gui {

class DecomposeDataDialog : public QDialog {
  Q_OBJECT
 public:
  enum Column { kName = 0, kRangeMin = 1, kRangeMax = 2, kPrimary = 3 };

  DecomposeDataDialog(app::DecomposeDialogModel& model, app::Ui& ui, QWidget* parent = nullptr);

  QTableWidget* table() const { return table_; }
  QLineEdit* rootFolder() const { return root_; }
  QPushButton* browse() const { return browse_; }
  QPushButton* saveSubsets() const { return saveSubsets_; }
  QPushButton* saveAs() const { return saveAs_; }
  QLabel* problem() const { return problem_; }

  // The folder to decompose into once the dialog was accepted: the root folder, or the top
  // folder of the tree named by "Save As...".
  const std::string& target() const { return target_; }

 private:
  void cellChanged(int row, int column);
  void browseForRoot();
  void check();

  app::DecomposeDialogModel& model_;
  app::Ui& ui_;
  QTableWidget* table_;
  QLineEdit* root_;
  QPushButton* browse_;
  QLabel* problem_;
  QPushButton* saveSubsets_;
  QPushButton* saveAs_;
  std::string target_;
};

}  // namespace lumatix::gui
