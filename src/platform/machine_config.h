#pragma once
// The machine-wide configuration: a typed settings file written by the administrator,
// default /etc/lumatix/machine.conf, another path through LUMATIX_MACHINE_CONFIG.
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

  static std::string defaultPath();  // LUMATIX_MACHINE_CONFIG or /etc/lumatix/machine.conf

  // A missing file reads as empty without a warning; a file that is not owned by
  // trustedOwner or that others may write reads as empty, with warning() saying why.
  static MachineConfig read(const std::string& path, uid_t trustedOwner = 0);
  static MachineConfig parse(const std::string& text);

  // The value only when it is stored as a 32-bit number.
  std::optional<std::uint32_t> dword(const std::string& name) const;
  // True when the value is a 32-bit number greater than 0; text or a missing value is false.
  bool flag(const std::string& name) const;

  const std::string& warning() const { return warning_; }

 private:
  std::map<std::string, Value> values_;
  std::string warning_;
};

}  // namespace lumatix::platform
