#pragma once
// The per-user preferences of the viewer and the working directory they carry.

#include <functional>
#include <string>

#include "platform/documents_folder.h"
#include "platform/settings_store.h"

namespace lumatix::app {

class Ui;

// Caption of the common message box.
inline constexpr const char* kShowMessageCaption = "Morvath";

inline constexpr const char* kPreferences = "Preferences";
inline constexpr const char* kWorkingDirectoryKey = "Working Directory";
inline constexpr const char* kSingleWindowKey = "SingleWindow";
inline constexpr const char* kAllowCaryFilesKey = "AllowCaryFiles";

// Where the documents folder comes from; tests replace it.
using DocumentsLookup = std::function<platform::DocumentsFolder()>;

class CUserPref {
 public:
  // The documents folder without trailing "/" plus "/My Data"; "/tmp" with a message when
  // the documents folder is unknown. The folder is created (one level) when missing; when
  // that fails a message says so and the path is kept all the same.
  static std::string defaultWorkingDirectory(Ui& ui, const DocumentsLookup& documents = platform::documentsFolder);

  // Reads "Preferences"/"Working Directory"; an empty entry is replaced by the default and
  // written back at once.
  void load(platform::SettingsStore& store, Ui& ui, const DocumentsLookup& documents = platform::documentsFolder);
  void save(platform::SettingsStore& store) const;

  std::string workingDirectory;  // without trailing separator
};

// "Preferences"/"SingleWindow" and "AllowCaryFiles", both on (1) by default.
bool singleWindow(const platform::SettingsStore& store);
void setSingleWindow(platform::SettingsStore& store, bool on);
bool allowCaryFiles(const platform::SettingsStore& store);
void setAllowCaryFiles(platform::SettingsStore& store, bool on);

}  // namespace lumatix::app
