#include "platform/machine_config.h"

#include <charconv>
#include <cstdlib>
#include <sstream>

#include "platform/trusted_file.h"

namespace lumatix::platform {

namespace {
constexpr std::size_t kMaxConfigBytes = 64 * 1024;

std::optional<MachineConfig::Value> parseValue(const std::string& text) {
  const std::string dwordTag = "dword:";
  if (text.compare(0, dwordTag.size(), dwordTag) == 0) {
    std::string digits = text.substr(dwordTag.size());
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t v = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, 16);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return v;
  }
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return std::nullopt;
}
}  // namespace

std::string MachineConfig::overridePath() {
  const char* env = std::getenv("LUMATIX_MACHINE_CONFIG");
  return env ? env : "";
}

MachineConfig MachineConfig::readEffective(const std::string& systemPath, const std::string& overridePath,
                                           uid_t trustedOwner) {
  MachineConfig config = read(systemPath, trustedOwner);
  if (overridePath.empty() || overridePath == systemPath) return config;
  MachineConfig extra = read(overridePath, trustedOwner);
  config.addMissing(extra);
  if (!extra.warning_.empty()) config.warning_ += (config.warning_.empty() ? "" : "\n") + extra.warning_;
  return config;
}

void MachineConfig::addMissing(const MachineConfig& other) {
  for (const auto& [name, value] : other.values_) values_.emplace(name, value);
}

MachineConfig MachineConfig::read(const std::string& path, uid_t trustedOwner) {
  TrustedRead file = readTrustedFile(path, kMaxConfigBytes, trustedOwner);
  MachineConfig config = file.text ? parse(*file.text) : MachineConfig{};
  config.warning_ = file.warning;
  return config;
}

MachineConfig MachineConfig::parse(const std::string& text) {
  MachineConfig config;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#' || line[0] == ';' || line[0] == '[') continue;
    auto eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    if (auto value = parseValue(line.substr(eq + 1))) config.values_[line.substr(0, eq)] = *value;
  }
  return config;
}

std::optional<std::uint32_t> MachineConfig::dword(const std::string& name) const {
  auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  if (const auto* v = std::get_if<std::uint32_t>(&it->second)) return *v;
  return std::nullopt;
}

bool MachineConfig::flag(const std::string& name) const {
  auto v = dword(name);
  return v && *v > 0;
}

}  // namespace lumatix::platform
