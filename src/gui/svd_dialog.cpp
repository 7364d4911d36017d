#include "gui/svd_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

#include "app/fit_texts.h"
#include "app/plot_document.h"
#include "gui/plot_window.h"
#include "platform/build_info.h"
#include "processing/data_set.h"
#include "processing/svd.h"

namespace lumatix::gui {

SvdDialog::SvdDialog(const std::vector<double>& values, int rank, QWidget* parent) : QDialog(parent) {
  setObjectName("svdDialog");
  setWindowTitle("Singular Value Decomposition");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Singular values, largest first:", this));
  list_ = new QListWidget(this);
  for (std::size_t k = 0; k < values.size(); ++k)
    list_->addItem(QString("%1:  %2").arg(k + 1).arg(QString::fromStdString(app::generalText(values[k]))));
  layout->addWidget(list_);
  auto* form = new QFormLayout;
  components_ = new QSpinBox(this);
  components_->setRange(1, std::max(rank, 1));
  // Offer the components above a hundredth of the largest value: the species a melt or a
  // multi-wavelength shot shows, not its noise.
  int offered = 0;
  while (offered < rank && values[static_cast<std::size_t>(offered)] > 0.01 * values.front()) ++offered;
  components_->setValue(std::max(offered, 1));
  form->addRow("Components to keep:", components_);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int SvdDialog::components() const { return components_->value(); }

void runSvdDialog(PlotWindow& window, bool compliantNow, const ResultOpener& open) {
  app::PlotDocument& document = window.document();
  const processing::CDataSet& set = document.dataSet();
  auto tell = [&window](const std::string& text) {
    window.ui().showMessage(text, platform::kProductName, app::Icon::Warning, app::Buttons::Ok);
  };
  processing::SvdResult result;
  int rank = 0;
  try {
    // One component shows every singular value; the rank is what the refusal of too many names.
    result = processing::DecomposeTraces(set, 1, document.filePath(), document.store().get(), compliantNow);
    // The rank as the decomposition counts it: values above the rounding of the largest.
    const double largest = result.singularValues.empty() ? 0.0 : result.singularValues.front();
    const double floor = static_cast<double>(std::max(set.xA.size(), result.singularValues.size())) *
                         std::numeric_limits<double>::epsilon() * largest;
    for (double s : result.singularValues) rank += s > floor ? 1 : 0;
  } catch (const std::exception& e) {
    tell(e.what());
    return;
  }
  SvdDialog dialog(result.singularValues, rank, &window);
  if (dialog.exec() != QDialog::Accepted) return;
  try {
    result = processing::DecomposeTraces(set, dialog.components(), document.filePath(), document.store().get(),
                                         compliantNow);
    const std::pair<const char*, std::unique_ptr<datastore::DataStore>*> parts[] = {
        {"svd-values", &result.values},
        {"svd-basis", &result.basis},
        {"svd-amplitudes", &result.amplitudes},
        {"svd-rebuilt", &result.rebuilt}};
    for (const auto& [suffix, store] : parts) {
      (*store)->saved = false;
      if (!open(datastore::smart_ptr<datastore::DataStore>(store->release()), document.convertedFileName(suffix))) {
        tell("The results could not be saved and opened.");
        return;
      }
    }
  } catch (const std::exception& e) {
    tell(e.what());
  }
}

}  // namespace lumatix::gui
