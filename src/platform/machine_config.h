#pragma once
// The machine-wide configuration: a typed settings file written by the administrator,
// /etc/lumatix/machine.conf, to which LUMATIX_MACHINE_CONFIG may name a second file.
//
//   # comment            ; comment
//   CFRCompliant=dword:00000001      a 32-bit number (1 to 8 hexadecimal digits)
//   Site="Lab 3"                     a text
//
// Lines in brackets (section headers) are ignored; names are case-sensitive.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <variant>

namespace lumatix::platform {

class MachineConfig {
 public:
  using Value = std::variant<std::uint32_t, std::string>;

  static constexpr const char* kSystemPath = "/etc/lumatix/machine.conf";
  // LUMATIX_MACHINE_CONFIG, or empty when it is not set.
  static std::string overridePath();

  // The system file, and the override file when one is named. The override only supplies
  // values the system file does not set: anyone can set an environment variable, so it must
  // not be able to switch off what the administrator switched on. Warnings of both are kept.
  static MachineConfig readEffective(const std::string& systemPath, const std::string& overridePath,
                                     uid_t trustedOwner = 0);

  // A missing file reads as empty without a warning; a file that is not owned by
  // trustedOwner or that others may write reads as empty, with warning() saying why.
  static MachineConfig read(const std::string& path, uid_t trustedOwner = 0);
  static MachineConfig parse(const std::string& text);

  // The value only when it is stored as a 32-bit number.
  std::optional<std::uint32_t> dword(const std::string& name) const;
  // True when the value is a 32-bit number greater than 0; text or a missing value is false.
  bool flag(const std::string& name) const;

  // Adds the values of other under names this configuration does not have.
  void addMissing(const MachineConfig& other);

  const std::string& warning() const { return warning_; }

 private:
  std::map<std::string, Value> values_;
  std::string warning_;
};

}  // namespace lumatix::platform
