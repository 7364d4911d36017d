#include "app/converted_file.h"

#include <stdexcept>

#include "datastore/data_store.h"
#include "export/dispatcher.h"

namespace lumatix::app {
namespace {

// The LumBinaryX writer has nothing to advise; a refusal becomes the exception's text.
class RefusalCatcher : public exports::Reporter {
 public:
  void error(const std::string& text) override { refusal = text; }
  void warning(const std::string&) override {}
  void information(const std::string&) override {}
  std::string refusal;
};

}  // namespace

bool ConvertedFileOpener::saveAndOpen(datastore::smart_ptr<datastore::DataStore> store,
                                      const std::string& suggestedPath) {
  if (!store) return false;
  RefusalCatcher reporter;
  if (!exports::writeStore(*store, "LumBinaryX", suggestedPath, reporter)) throw std::runtime_error(reporter.refusal);
  store->saved = true;
  written_ = suggestedPath;
  return open_ && open_(suggestedPath);
}

}  // namespace lumatix::app
