#include "app/store_output.h"

#include <filesystem>
#include <new>
#include <sstream>
#include <system_error>

#include "app/ui.h"
#include "app/user_pref.h"
#include "datastore/data_store.h"
#include "datastore/load_refusal.h"

namespace lumatix::app {

std::unique_ptr<datastore::DataStore> loadSelectedFile(const std::string& path, bool allowCary, Ui& ui) {
  auto fail = [&](const std::string& text) {
    ui.showMessage(text, kShowMessageCaption, Icon::Error, Buttons::Ok);
    return nullptr;
  };
  try {
    auto store = std::make_unique<datastore::DataStore>(true);
    store->allowCary = allowCary;
    if (!store->load(path, false)) {
      const std::string& reason = datastore::lastLoadRefusal();
      return fail("Failed to load DataStore.\nThe file may be corrupt.\n(Can't open the file " + path + ")" +
                  (reason.empty() ? std::string() : "\n" + reason));
    }
    return store;
  } catch (const std::bad_alloc&) {
    return fail("Too low on memory. Please close some applications and try again.\n");
  } catch (const datastore::LoadRefused& e) {
    return fail(std::string("Failed to load DataStore.\nThe file may be corrupt.\n(") + e.what() + ")" +
                (e.reason().empty() ? std::string() : "\n" + e.reason()));
  } catch (const std::exception& e) {
    return fail(std::string("Failed to load DataStore.\nThe file may be corrupt.\n(") + e.what() + ")");
  } catch (...) {
    return fail("An unknown error has occurred");
  }
}

std::string outputName(const std::string& title) {
  std::istringstream words(title);
  std::string name;
  std::string word;
  while (words >> word) name += (name.empty() ? "" : " ") + word;
  for (char& c : name)
    if (c == '/') c = '_';
  return name;
}

bool pathTaken(const std::string& path) {
  std::error_code e;
  return std::filesystem::exists(std::filesystem::symlink_status(path, e));
}

}  // namespace lumatix::app
