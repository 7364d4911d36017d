#pragma once
// The per-user preferences: an INI file laid out the way Qt's QSettings lays out
// the application "Lumatix Viewer" of the organisation "Corvane Ltd".

#include <map>
#include <optional>
#include <string>

namespace lumatix::platform {

// Sections are named with backslashes as the program names them ("Preferences\Export").
// The first component is the INI group, the rest is carried in the key, so
// ("Preferences\Export", "Default") is stored as [Preferences] Export\Default=...
class SettingsStore {
 public:
  // $XDG_CONFIG_HOME/Corvane Ltd/Lumatix Viewer.conf ($HOME/.config when unset).
  static std::string defaultPath();

  // Reads the file at path when it exists; a missing or unreadable file reads as empty.
  explicit SettingsStore(std::string path = defaultPath());

  int getInt(const std::string& section, const std::string& key, int fallback) const;
  std::string getString(const std::string& section, const std::string& key, const std::string& fallback) const;
  std::optional<std::string> raw(const std::string& section, const std::string& key) const;

  // Each setter saves the whole file at once (atomically); throws std::runtime_error on failure.
  void setInt(const std::string& section, const std::string& key, int value);
  void setString(const std::string& section, const std::string& key, const std::string& value);

  const std::string& path() const { return path_; }

 private:
  using Group = std::map<std::string, std::string>;
  void load();
  void save() const;
  static std::pair<std::string, std::string> locate(const std::string& section, const std::string& key);

  std::string path_;
  std::map<std::string, Group> groups_;
};

}  // namespace lumatix::platform
