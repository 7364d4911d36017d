#pragma once
// What the plot-window tests share: the bundled examples, and a plot window opened on a file
// as the viewer opens it, shown and active (its keys reach their shortcuts only then).

#include <QTest>

#include <memory>
#include <string>

#include "app/plot_document.h"
#include "gui/plot_window.h"
#include "gui/plot_window_maker.h"

namespace lumatix::guitest {

inline std::string exampleFile(const char* name) {
  return std::string(qgetenv("LUMATIX_EXAMPLES").constData()) + "/" + name;
}

// Null when the file is refused (the Ui was told) or the window never became active.
inline std::unique_ptr<gui::PlotWindow> openPlotWindow(app::Ui& ui, const std::string& path,
                                                       const gui::PlotWindowSettings& settings = {},
                                                       QSize size = QSize(800, 600)) {
  auto doc = gui::openPlotDocument(path, ui, settings);
  if (!doc) return nullptr;
  auto w = std::make_unique<gui::PlotWindow>(std::move(doc), ui);
  w->resize(size);
  w->show();
  w->activateWindow();
  if (!QTest::qWaitForWindowActive(w.get())) return nullptr;
  return w;
}

}  // namespace lumatix::guitest
