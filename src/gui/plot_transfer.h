#pragma once
// Traces between plot windows and onto the clipboard: the MIME type of a dragged or copied
// data set, and the data objects the plot window hands out.

#include <QImage>
#include <QMimeData>
#include <QString>

#include <memory>

namespace lumatix::app {
class PlotDocument;
}
namespace lumatix::processing {
class CDataSet;
}

namespace lumatix::gui {

// The "_DATASET_FORMAT_" data of the viewer: the traces as LumBinaryX bytes (app::encodeTraces).
inline const QString kDataSetMimeType = QStringLiteral("application/x-lumatix-dataset");

// A data object holding the traces of `traces` (derived from the document's store) under our
// MIME type; with a picture, the picture too. Throws the encoder's messages.
std::unique_ptr<QMimeData> traceMimeData(const app::PlotDocument& document, const processing::CDataSet& traces,
                                         const QImage& picture = {});

}  // namespace lumatix::gui
