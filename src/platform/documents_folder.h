#pragma once
// The user's documents folder, the way the desktop names it.

#include <string>

namespace lumatix::platform {

struct DocumentsFolder {
  bool ok = false;
  std::string path;  // when ok
  int code = 0;      // when not ok: the errno that explains it
};

// XDG_DOCUMENTS_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (as xdg-user-dir reads it), else
// $HOME/Documents; the home folder comes from $HOME or the password database. The folder is
// made when it does not exist yet, as a desktop session would have made it. Fails only when
// no home folder is known.
DocumentsFolder documentsFolder();

}  // namespace lumatix::platform
