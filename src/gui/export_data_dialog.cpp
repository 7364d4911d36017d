#include "gui/export_data_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include "app/ui.h"
#include "export/dispatcher.h"
#include "gui/dialog_parts.h"

namespace lumatix::gui {

ExportDataDialog::ExportDataDialog(app::ExportDialogModel& model, app::Ui& ui, QWidget* parent)
    : QDialog(parent), model_(model), ui_(ui) {
  setObjectName(QStringLiteral("exportDataDialog"));
  setWindowTitle(QString::fromUtf8(app::kExportDialogTitle));
  setAccessibleName(windowTitle());

  auto* icon = new QLabel(this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
  warning_ = new QLabel(QString::fromStdString(app::exportWarningText()), this);
  warning_->setObjectName(QStringLiteral("warning"));
  warning_->setWordWrap(true);
  warning_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  warning_->setAccessibleName(tr("Warning"));
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addWidget(warning_, 1);

  auto* group = new QGroupBox(QString::fromUtf8(app::kExportFormatGroup), this);
  format_ = new QComboBox(group);
  format_->setObjectName(QStringLiteral("format"));
  format_->setAccessibleName(tr("Data format"));
  for (const std::string& name : app::ExportDialogModel::formatNames()) format_->addItem(QString::fromStdString(name));
  format_->setCurrentIndex(model_.format());
  auto* formatLabel = new QLabel(tr("&Format:"), group);
  formatLabel->setBuddy(format_);
  file_ = new QLineEdit(QString::fromStdString(model_.path()), group);
  file_->setObjectName(QStringLiteral("fileName"));
  file_->setAccessibleName(tr("File name"));
  auto* fileLabel = new QLabel(tr("File &name:"), group);
  fileLabel->setBuddy(file_);
  browse_ = new QPushButton(tr("&Browse..."), group);
  browse_->setObjectName(QStringLiteral("browse"));
  browse_->setAccessibleName(tr("Browse for the file name"));
  browse_->setAutoDefault(false);
  auto* grid = new QGridLayout(group);
  grid->addWidget(formatLabel, 0, 0);
  grid->addWidget(format_, 0, 1, 1, 2);
  grid->addWidget(fileLabel, 1, 0);
  grid->addWidget(file_, 1, 1);
  grid->addWidget(browse_, 1, 2);
  grid->setColumnStretch(1, 1);

  buttons_ = makeOkCancel(this);
  connect(format_, &QComboBox::currentIndexChanged, this, [this](int row) {
    model_.setPath(file_->text().toStdString());
    model_.setFormat(row);
    const QSignalBlocker block(file_);
    file_->setText(QString::fromStdString(model_.path()));
  });
  connect(file_, &QLineEdit::textEdited, this, [this](const QString& text) { model_.setPath(text.toStdString()); });
  connect(browse_, &QPushButton::clicked, this, &ExportDataDialog::browseForFile);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(group);
  layout->addWidget(buttons_);
  resize(480, sizeHint().height());
  setTabOrder(format_, file_);
  setTabOrder(file_, browse_);
  setTabOrder(browse_, buttons_);
  format_->setFocus();
  keepPlace(this);
}

void ExportDataDialog::browseForFile() {
  const auto& format = exports::exportFormats()[static_cast<std::size_t>(model_.format())];
  const std::string pattern = std::string("*") + format.extension;
  auto chosen = ui_.chooseSaveFile("Export Data", file_->text().toStdString(),
                                   {{std::string(format.name) + "  (" + pattern + ")", pattern}}, 1);
  if (!chosen) return;
  model_.setPath(chosen->path, true);
  file_->setText(QString::fromStdString(model_.path()));
}

void ExportDataDialog::accept() {
  model_.setPath(file_->text().trimmed().toStdString());
  if (!model_.accept(ui_)) return;
  QDialog::accept();
}

}  // namespace lumatix::gui
