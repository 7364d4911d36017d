#include "app/user_pref.h"

#include <sys/stat.h>

#include <cstdio>

#include "app/ui.h"

namespace lumatix::app {

namespace {
constexpr const char* kFallbackDirectory = "/tmp";

std::string hex(int code) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(code));
  return buffer;
}
}  // namespace

std::string CUserPref::defaultWorkingDirectory(Ui& ui, const DocumentsLookup& documents) {
  platform::DocumentsFolder docs = documents();
  std::string dir;
  if (docs.ok) {
    dir = docs.path;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (dir == "/") dir.clear();
    dir += "/My Data";
  } else {
    dir = kFallbackDirectory;
    ui.showMessage("Unable to read My Documents path from system. hr = 0x" + hex(docs.code) + "\nSet " + dir +
                       " as the working directory instead",
                   kShowMessageCaption, Icon::Information, Buttons::Ok);
  }
  struct stat st {};
  if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    if (::mkdir(dir.c_str(), 0777) != 0)
      ui.showMessage("can't create " + dir + ", check the dir property\n", kShowMessageCaption, Icon::Information,
                     Buttons::Ok);
  }
  return dir;
}

void CUserPref::load(platform::SettingsStore& store, Ui& ui, const DocumentsLookup& documents) {
  workingDirectory = store.getString(kPreferences, kWorkingDirectoryKey, "");
  if (workingDirectory.empty()) {
    workingDirectory = defaultWorkingDirectory(ui, documents);
    save(store);
  }
}

void CUserPref::save(platform::SettingsStore& store) const {
  store.setString(kPreferences, kWorkingDirectoryKey, workingDirectory);
}

bool singleWindow(const platform::SettingsStore& store) { return store.getInt(kPreferences, kSingleWindowKey, 1) != 0; }
void setSingleWindow(platform::SettingsStore& store, bool on) { store.setInt(kPreferences, kSingleWindowKey, on ? 1 : 0); }
bool allowCaryFiles(const platform::SettingsStore& store) {
  return store.getInt(kPreferences, kAllowCaryFilesKey, 1) != 0;
}
void setAllowCaryFiles(platform::SettingsStore& store, bool on) {
  store.setInt(kPreferences, kAllowCaryFilesKey, on ? 1 : 0);
}

}  // namespace lumatix::app
