// Traces dropped on a plot window from another one arrive as LumBinaryX bytes: any bytes either
// are refused with a message or are overlaid on a plot (or refused by its checks), and never
// reach memory unchecked. The corpus is the LumBinaryX reader's: its seeds are such payloads.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "app/plot_document.h"
#include "app/trace_transfer.h"
#include "app/unattended_ui.h"
#include "datastore/data_store.h"
#include "datastore/diagnostics.h"

namespace {

using namespace lumatix;

// A person who agrees to every question and is shown every message.
class AgreeingUi : public app::UnattendedUi {
 public:
  app::Answer showMessage(const std::string& text, const std::string&, app::Icon, app::Buttons buttons) override {
    if (text.empty()) std::abort();  // every refusal says why
    return buttons == app::Buttons::YesNo ? app::Answer::Yes : app::Answer::Ok;
  }
};

// The plot the traces are dropped on: two traces of three points of the property the dropped
// store names first, so that the overlay goes past the property check to the cutting.
std::unique_ptr<app::PlotDocument> target(AgreeingUi& ui, const datastore::DataStore& dropped) {
  auto store = datastore::smart_ptr<datastore::DataStore>(new datastore::DataStore("target", 1, 2));
  store->properties[0] = dropped.properties.size() > 0 ? dropped.properties[0] : std::string("Absorbance");
  store->dimensions[0] = datastore::Dimension("Wavelength", {200, 210, 220});
  store->dimensions[1] = datastore::Dimension("Time", {1, 2});
  if (!store->initialise()) std::abort();
  auto d = std::make_unique<app::PlotDocument>(store, "/target.dsx", ui);
  d->load(0, 1, 0, -1);
  return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::ostringstream quiet;
  datastore::setDiagnostics(&quiet);
  quiet.str({});
  static AgreeingUi ui;
  datastore::smart_ptr<datastore::DataStore> dropped;
  try {
    dropped = app::decodeTraces(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const std::exception& e) {
    if (std::string(e.what()).empty()) std::abort();
    return 0;
  }
  std::unique_ptr<app::PlotDocument> plot;
  try {
    plot = target(ui, *dropped);
  } catch (const std::exception&) {
    return 0;  // a property name the target's own data set refuses
  }
  plot->overlayStore(*dropped, app::transferredName(*dropped));
  return 0;
}
