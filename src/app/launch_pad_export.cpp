#include "app/launch_pad_export.h"

#include "app/message_preferences.h"
#include "app/store_output.h"
#include "app/ui.h"
#include "app/user_pref.h"
#include "datastore/data_store.h"
#include "export/dispatcher.h"
#include "platform/atomic_file.h"

namespace lumatix::app {

namespace {

class MessageReporter : public exports::Reporter {
 public:
  explicit MessageReporter(Ui& ui) : ui_(ui) {}
  void error(const std::string& text) override { show(text, Icon::Error); }
  void warning(const std::string& text) override { show(text, Icon::Warning); }
  void information(const std::string& text) override { ui_.showAdvice(adviceKey(text), text, kShowMessageCaption); }

 private:
  void show(const std::string& text, Icon icon) { ui_.showMessage(text, kShowMessageCaption, icon, Buttons::Ok); }
  Ui& ui_;
};

}  // namespace

bool exportFile(const std::string& file, bool allowCary, Ui& ui, const ExportDialog& dialog) {
  auto store = loadSelectedFile(file, allowCary, ui);
  if (!store) return false;
  std::optional<ExportRequest> request = dialog(*store);
  if (!request) return false;
  return exportStore(*store, *request, ui);
}

bool exportStore(datastore::DataStore& store, const ExportRequest& request, Ui& ui) {
  auto refuse = [&](const std::string& text) {
    ui.showMessage(text, kShowMessageCaption, Icon::Error, Buttons::Ok);
    return false;
  };
  if (store.data.count == 0 || store.dimensions.size() == 0) return refuse("Error! No data to save!!\n");
  const auto& formats = exports::exportFormats();
  if (request.formatIndex < 1 || static_cast<std::size_t>(request.formatIndex) > formats.size())
    return refuse("Error! Unknown export format!\n");
  MessageReporter reporter(ui);
  try {
    return exports::writeStore(store, formats[static_cast<std::size_t>(request.formatIndex - 1)].name, request.path,
                               reporter);
  } catch (const platform::OpenRefused& e) {
    return refuse(std::string(e.what()) + "\n" + e.reason());
  } catch (const std::exception& e) {
    return refuse(e.what());
  }
}

}  // namespace lumatix::app
