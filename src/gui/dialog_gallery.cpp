#include "gui/dialog_gallery.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProgressDialog>
#include <QSpinBox>
#include <QTableWidget>

#include "app/decompose_dialog.h"
#include "app/export_dialog.h"
#include "app/plot_dialogs.h"
#include "app/plot_document.h"
#include "app/store_output.h"
#include "datastore/data_store.h"
#include "processing/svd.h"
#include "gui/convert_units_dialog.h"
#include "gui/decompose_data_dialog.h"
#include "gui/export_data_dialog.h"
#include "gui/global_fit_dialog.h"
#include "gui/plot_dialog_commands.h"
#include "gui/plot_limits_dialog.h"
#include "gui/plot_view.h"
#include "gui/plot_window.h"
#include "gui/plot_window_maker.h"
#include "gui/qt_ui.h"
#include "gui/simple_math_dialog.h"
#include "gui/smoothing_dialog.h"
#include "gui/svd_dialog.h"
#include "gui/temperature_ramp_dialog.h"
#include "gui/text_view_dialog.h"
#include "gui/trace_manipulation_dialog.h"
#include "gui/visible_trace_range_dialog.h"
#include "widgets/checked_message_box.h"

namespace lumatix::gui {
namespace {

class Gallery {
 public:
  explicit Gallery(QString folder) : folder_(std::move(folder)) { QDir().mkpath(folder_); }

  void take(QWidget& w) {
    w.show();
    const QString path = QDir(folder_).filePath(w.objectName() + QStringLiteral(".png"));
    if (w.grab().save(path)) written << path;
    w.hide();
  }

  QStringList written;

 private:
  QString folder_;
};

}  // namespace

QStringList saveDialogPictures(const QString& folder, const QString& melt, const QString& ramp) {
  Gallery gallery(folder);
  QtUi ui;
  std::unique_ptr<app::PlotDocument> document = openPlotDocument(melt.toStdString(), ui, {});
  if (!document) return gallery.written;
  PlotWindow window(std::move(document), ui);
  window.resize(800, 600);
  window.view()->picture(QSize(800, 600));
  app::PlotDocument& doc = window.document();
  doc.select(1, true);
  doc.select(3, true);

  {
    app::SimpleMathDialog model;
    model.operation = app::SimpleMathDialog::kMultiply;
    model.constant = 2.5f;
    SimpleMathDialogWindow dialog(model, &window);
    gallery.take(dialog);
  }
  {
    processing::CSGFilter filter(3, 2);
    const auto& set = doc.dataSet();
    std::vector<app::SmoothingDialog::Trace> traces;
    for (int t : {1, 3}) traces.push_back({set.traceNames[static_cast<std::size_t>(t)], set.yA[static_cast<std::size_t>(t)].toDoubles()});
    app::SmoothingDialog model(filter, set.xA, traces, static_cast<int>(set.xA.size()), true, 6);
    model.setSaveResiduals(true);
    SmoothingDialogWindow dialog(model, ui, &window);
    gallery.take(dialog);
  }
  {
    app::ConvertDialog model("mdeg");
    model.setTarget("mean residue molar ellipticity");
    model.setMassConcentration(0.2);
    model.setPathLength(0.1);
    model.setResidueWeight(110);
    ConvertUnitsDialogWindow dialog(model, ui, &window);
    gallery.take(dialog);
  }
  {
    // Every trace of the melt at once, with the function the melt is fitted with.
    GlobalFitDialog dialog(doc.dataSet(), std::vector<int>(static_cast<std::size_t>(doc.dataSet().TraceCount()), 1), ui,
                           &window);
    const int unfolding = dialog.functionBox()->findText(QStringLiteral("Two-state unfolding"));
    if (unfolding >= 0) dialog.functionBox()->setCurrentIndex(unfolding);
    gallery.take(dialog);
  }
  {
    const processing::SvdResult svd =
        processing::DecomposeTraces(doc.dataSet(), 1, doc.filePath(), doc.store().get(), false);
    SvdDialog dialog(svd.singularValues, static_cast<int>(svd.singularValues.size()), &window);
    gallery.take(dialog);
  }
  {
    doc.hideTraces({4});
    TraceManipulationDialog dialog(doc, [](app::TraceButton) {}, {}, &window);
    gallery.take(dialog);
  }
  {
    VisibleTraceRangeDialog dialog(doc, &window);
    dialog.field(2)->setText(QStringLiteral("2"));
    gallery.take(dialog);
  }
  {
    PlotLimitsDialog dialog(*window.view(), &window);
    gallery.take(dialog);
  }
  {
    TextViewDialog info(QStringLiteral("dataStoreInfo"), QStringLiteral("DataStore Info"), doc.infoText().value_or(""),
                        &window);
    gallery.take(info);
    TextViewDialog history(QStringLiteral("history"), QStringLiteral("History"), doc.historyText(), &window);
    gallery.take(history);
    TextViewDialog remarks(QStringLiteral("remarks"), QStringLiteral("Remarks"), doc.remarksText(), &window);
    gallery.take(remarks);
  }
  {
    app::ExportDialogModel model(melt.toStdString(), 8);
    ExportDataDialog dialog(model, ui);
    gallery.take(dialog);
  }
  if (auto store = app::loadSelectedFile(ramp.toStdString(), true, ui)) {
    app::DecomposeDialogModel model(*store, QFileInfo(ramp).absolutePath().toStdString());
    model.setPrimary(0, true);
    DecomposeDataDialog dialog(model, ui);
    dialog.table()->item(0, DecomposeDataDialog::kPrimary)->setCheckState(Qt::Checked);
    gallery.take(dialog);
  }
  {
    TemperatureRampDialog dialog(ui, app::RampFormat::Csv);
    gallery.take(dialog);
  }
  {
    widgets::CheckedMessageBox box(
        QMessageBox::Information, QStringLiteral("Lumatix Viewer"),
        QStringLiteral("For best results, the wavelength range should start at 260nm or above and end at 190nm or "
                       "below."),
        QMessageBox::Ok);
    box.setObjectName(QStringLiteral("adviceMessage"));
    gallery.take(box);
  }
  {
    QProgressDialog progress(QStringLiteral("Extracting temperature ramp"), QStringLiteral("Cancel"), 0, 1000);
    progress.setObjectName(QStringLiteral("progressDialog"));
    progress.setWindowTitle(QStringLiteral("Lumatix Viewer"));
    progress.setValue(420);
    gallery.take(progress);
  }
  return gallery.written;
}

}  // namespace lumatix::gui
