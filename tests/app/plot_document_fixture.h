#pragma once
// A plot document over a small CD store for the command tests: four traces (250, 260, 270,
// 280) of three points, value 1000 * trace + point, with a scripted Ui and scripted dialogs.

#include <functional>

#include "app/plot_dialogs.h"
#include "app/plot_document.h"
#include "datastore/smart_ptr.h"
#include "processing/store_builder.h"
#include "support/fixed_providers.h"
#include "support/scripted_ui.h"

namespace lumatix::testing {

class ScriptedDialogs : public app::PlotDialogs {
 public:
  std::function<bool(app::SimpleMathDialog&)> onSimpleMath = [](app::SimpleMathDialog&) { return false; };
  std::function<bool(app::SmoothingDialog&)> onSmoothing = [](app::SmoothingDialog&) { return false; };
  std::function<bool(app::ConvertDialog&)> onConvert = [](app::ConvertDialog&) { return false; };
  int shown = 0;

  bool simpleMath(app::SimpleMathDialog& d) override { return ++shown, onSimpleMath(d); }
  bool smoothing(app::SmoothingDialog& d) override { return ++shown, onSmoothing(d); }
  bool convertUnits(app::ConvertDialog& d) override { return ++shown, onConvert(d); }
};

inline datastore::smart_ptr<datastore::DataStore> cdStore(const std::string& property = "CircularDichroism",
                                                          std::vector<float> traces = {250, 260, 270, 280}) {
  auto store = makeStore({property}, {{"Wavelength", {200, 210, 220}}, {"Temperature", std::move(traces)}}, placeValue);
  return datastore::smart_ptr<datastore::DataStore>(store.release());
}

class PlotDocumentTest : public ::testing::Test {
 protected:
  explicit PlotDocumentTest(datastore::smart_ptr<datastore::DataStore> s = cdStore()) : store(std::move(s)) {
    store->saved = true;
    doc.load(0, 1, 0, -1);
  }
  std::vector<std::string> titles() const {
    std::vector<std::string> t;
    for (const auto& e : doc.dataSet().history) t.push_back(e.title);
    return t;
  }
  const datastore::HistoryEntry& lastEntry() const { return doc.dataSet().history.back(); }

  FixedProviders providers;
  ScriptedUi ui;
  ScriptedDialogs dialogs;
  datastore::smart_ptr<datastore::DataStore> store;
  app::PlotDocument doc{store, "/data/melt.dsx", ui};
};

}  // namespace lumatix::testing
