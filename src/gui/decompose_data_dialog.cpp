#include "gui/decompose_data_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

#include "app/field_text.h"
#include "app/ui.h"
#include "gui/dialog_parts.h"

namespace lumatix::gui {
namespace {

QString shown(float v) { return QString::fromStdString(app::numberText(static_cast<double>(v))); }

}  // namespace

DecomposeDataDialog::DecomposeDataDialog(app::DecomposeDialogModel& model, app::Ui& ui, QWidget* parent)
    : QDialog(parent), model_(model), ui_(ui) {
  setObjectName(QStringLiteral("decomposeDataDialog"));
  setWindowTitle(QString::fromUtf8(app::kDecomposeDialogTitle));
  setAccessibleName(windowTitle());
  setSizeGripEnabled(true);

  table_ = new QTableWidget(static_cast<int>(model_.rows().size()), 4, this);
  table_->setObjectName(QStringLiteral("dimensions"));
  table_->setAccessibleName(tr("Dimensions"));
  table_->setHorizontalHeaderLabels({tr("Name"), tr("Range Min"), tr("Range Max"), tr("Primary")});
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
  // Tab leaves the table for the next control; the arrows move between its cells.
  table_->setTabKeyNavigation(false);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::AllEditTriggers);
  for (std::size_t r = 0; r < model_.rows().size(); ++r) {
    const auto& row = model_.rows()[r];
    const int i = static_cast<int>(r);
    auto* name = new QTableWidgetItem(QString::fromStdString(row.name));
    name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    name->setToolTip(tr("From %1 to %2").arg(shown(row.lowest), shown(row.highest)));
    table_->setItem(i, kName, name);
    table_->setItem(i, kRangeMin, new QTableWidgetItem(shown(row.choice.rangeMin)));
    table_->setItem(i, kRangeMax, new QTableWidgetItem(shown(row.choice.rangeMax)));
    auto* primary = new QTableWidgetItem;
    primary->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    primary->setCheckState(row.choice.primary ? Qt::Checked : Qt::Unchecked);
    table_->setItem(i, kPrimary, primary);
  }
  table_->resizeColumnsToContents();
  table_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
  connect(table_, &QTableWidget::cellChanged, this, &DecomposeDataDialog::cellChanged);

  root_ = new QLineEdit(QString::fromStdString(model_.rootFolder()), this);
  root_->setObjectName(QStringLiteral("rootFolder"));
  root_->setAccessibleName(tr("Root folder"));
  auto* rootLabel = new QLabel(tr("&Root folder:"), this);
  rootLabel->setBuddy(root_);
  browse_ = new QPushButton(tr("&Browse..."), this);
  browse_->setObjectName(QStringLiteral("browse"));
  browse_->setAccessibleName(tr("Browse for the root folder"));
  browse_->setAutoDefault(false);
  connect(browse_, &QPushButton::clicked, this, &DecomposeDataDialog::browseForRoot);
  connect(root_, &QLineEdit::textChanged, this, [this](const QString& text) {
    model_.setRootFolder(text.toStdString());
    check();
  });

  problem_ = makeHintLabel(this, QStringLiteral("problem"), tr("Why the decomposition cannot start"));

  auto* buttons = new QDialogButtonBox(this);
  saveSubsets_ = buttons->addButton(tr("Save &Subsets..."), QDialogButtonBox::AcceptRole);
  saveSubsets_->setObjectName(QStringLiteral("saveSubsets"));
  saveAs_ = buttons->addButton(tr("Save &As..."), QDialogButtonBox::AcceptRole);
  saveAs_->setObjectName(QStringLiteral("saveAs"));
  auto* cancel = buttons->addButton(QDialogButtonBox::Cancel);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(saveSubsets_, &QPushButton::clicked, this, [this] {
    check();
    if (!saveSubsets_->isEnabled()) return;
    target_ = model_.rootFolder();
    QDialog::accept();
  });
  connect(saveAs_, &QPushButton::clicked, this, [this] {
    check();
    if (!saveAs_->isEnabled()) return;
    auto name = app::askDecompositionName(ui_);
    if (!name) return;
    target_ = app::decompositionTop(*name);
    QDialog::accept();
  });

  auto* rootRow = new QHBoxLayout;
  rootRow->addWidget(rootLabel);
  rootRow->addWidget(root_, 1);
  rootRow->addWidget(browse_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_, 1);
  layout->addLayout(rootRow);
  layout->addWidget(problem_);
  layout->addWidget(buttons);
  resize(520, 300);
  setTabOrder(table_, root_);
  setTabOrder(root_, browse_);
  setTabOrder(browse_, saveSubsets_);
  setTabOrder(saveSubsets_, saveAs_);
  setTabOrder(saveAs_, cancel);
  table_->setFocus();
  table_->setCurrentCell(0, kPrimary);
  check();
  keepPlace(this);
}

void DecomposeDataDialog::cellChanged(int row, int column) {
  const auto r = static_cast<std::size_t>(row);
  if (column == kPrimary) {
    model_.setPrimary(r, table_->item(row, kPrimary)->checkState() == Qt::Checked);
  } else if (column == kRangeMin || column == kRangeMax) {
    auto low = app::parseNumber(table_->item(row, kRangeMin)->text().toStdString());
    auto high = app::parseNumber(table_->item(row, kRangeMax)->text().toStdString());
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const auto asFloat = [nan](std::optional<double> v) {
      return v && std::fabs(*v) <= std::numeric_limits<float>::max() ? static_cast<float>(*v) : nan;
    };
    model_.setRange(r, asFloat(low), asFloat(high));
  }
  check();
}

void DecomposeDataDialog::browseForRoot() {
  QFileDialog dialog(this, QString::fromUtf8(app::kDecompositionRootTitle), root_->text());
  dialog.setObjectName(QStringLiteral("rootChooser"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    root_->setText(dialog.selectedFiles().front());
}

void DecomposeDataDialog::check() {
  const std::string rows = model_.problem();
  const std::string subsets = model_.problemSavingSubsets();
  problem_->setText(QString::fromStdString(subsets));
  saveAs_->setEnabled(rows.empty());
  saveSubsets_->setEnabled(subsets.empty());
}

}  // namespace lumatix::gui
