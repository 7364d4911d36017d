#include "platform/settings_store.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/atomic_file.h"

namespace lumatix::platform {
namespace {

bool plainKeyChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == '.' || c == '\\';
}

// Key escaping as QSettings does it: anything outside a small safe set is %XX.
std::string escapeKey(const std::string& key) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : key) {
    if (plainKeyChar(c)) {
      out += c;
    } else {
      auto u = static_cast<unsigned char>(c);
      out += '%';
      out += hex[u >> 4];
      out += hex[u & 15];
    }
  }
  return out;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string unescapeKey(const std::string& key) {
  std::string out;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (key[i] == '%' && i + 2 < key.size()) {
      int hi = hexValue(key[i + 1]);
      int lo = hexValue(key[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        continue;
      }
    }
    out += key[i];
  }
  return out;
}

std::string escapeValue(const std::string& value) {
  bool quote = value.empty() ? false
                             : (value.front() == ' ' || value.back() == ' ' ||
                                value.find_first_of(";,=\"") != std::string::npos);
  std::string out;
  for (char c : value) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return quote ? "\"" + out + "\"" : out;
}

std::string unescapeValue(const std::string& text) {
  std::string out;
  bool inQuotes = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      inQuotes = !inQuotes;
      continue;
    }
    if (c == '\\' && i + 1 < text.size()) {
      char n = text[++i];
      switch (n) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        default: out += n;
      }
      continue;
    }
    out += c;
  }
  return out;
}

std::string trim(const std::string& s) {
  auto b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  auto e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

}  // namespace

std::string SettingsStore::defaultPath() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    base = ".config";
  }
  return base + "/Corvane Ltd/Lumatix Viewer.conf";
}

SettingsStore::SettingsStore(std::string path) : path_(std::move(path)) { load(); }

std::pair<std::string, std::string> SettingsStore::locate(const std::string& section, const std::string& key) {
  auto cut = section.find('\\');
  if (cut == std::string::npos) return {section, key};
  return {section.substr(0, cut), section.substr(cut + 1) + "\\" + key};
}

std::optional<std::string> SettingsStore::raw(const std::string& section, const std::string& key) const {
  auto [group, name] = locate(section, key);
  auto g = groups_.find(group);
  if (g == groups_.end()) return std::nullopt;
  auto v = g->second.find(name);
  if (v == g->second.end()) return std::nullopt;
  return v->second;
}

int SettingsStore::getInt(const std::string& section, const std::string& key, int fallback) const {
  auto text = raw(section, key);
  if (!text) return fallback;
  int value = 0;
  auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (ec != std::errc() || end != text->data() + text->size()) return fallback;
  return value;
}

std::string SettingsStore::getString(const std::string& section, const std::string& key,
                                     const std::string& fallback) const {
  return raw(section, key).value_or(fallback);
}

void SettingsStore::setInt(const std::string& section, const std::string& key, int value) {
  setString(section, key, std::to_string(value));
}

void SettingsStore::setString(const std::string& section, const std::string& key, const std::string& value) {
  auto [group, name] = locate(section, key);
  groups_[group][name] = value;
  save();
}

void SettingsStore::load() {
  std::ifstream in(path_);
  std::string line, group = "General";
  while (std::getline(in, line)) {
    line = trim(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      group = unescapeKey(line.substr(1, line.size() - 2));
      continue;
    }
    auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    groups_[group][unescapeKey(trim(line.substr(0, eq)))] = unescapeValue(trim(line.substr(eq + 1)));
  }
}

void SettingsStore::save() const {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ignored);
  AtomicFile file(path_);
  auto& out = file.stream();
  bool firstGroup = true;
  for (const auto& [group, values] : groups_) {
    if (!firstGroup) out << '\n';
    firstGroup = false;
    out << '[' << escapeKey(group) << "]\n";
    for (const auto& [name, value] : values) out << escapeKey(name) << '=' << escapeValue(value) << '\n';
  }
  file.commit();
}

}  // namespace lumatix::platform
