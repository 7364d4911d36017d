#include "gui/plot_transfer.h"

#include "app/plot_document.h"
#include "app/trace_transfer.h"

namespace lumatix::gui {

std::unique_ptr<QMimeData> traceMimeData(const app::PlotDocument& document, const processing::CDataSet& traces,
                                         const QImage& picture) {
  const std::string bytes =
      app::encodeTraces(traces, *document.store(), document.filePath(), document.compliant());
  auto data = std::make_unique<QMimeData>();
  data->setData(kDataSetMimeType, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!picture.isNull()) data->setImageData(picture);
  return data;
}

}  // namespace lumatix::gui
