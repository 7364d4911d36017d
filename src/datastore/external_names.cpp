#include "datastore/external_names.h"

#include <array>
#include <string_view>
#include <utility>

namespace lumatix::datastore {
namespace {

using NamePair = std::pair<std::string_view, std::string_view>;

// The two tables are deliberately not inverses: "Time" is written as "Time (seconds)" but
// that name is read back as it stands.
constexpr std::array<NamePair, 5> kWriting{{
    {"CircularDichroism", "CD"},
    {"Wavelength", "Wavelength (nm)"},
    {"Absorbance", "Rel.Absorbance"},
    {"Fluorescence", "Emission"},
    {"Time", "Time (seconds)"},
}};

constexpr std::array<NamePair, 4> kReading{{
    {"CD", "CircularDichroism"},
    {"Rel.Absorbance", "Absorbance"},
    {"Emission", "Fluorescence"},
    {"Wavelength (nm)", "Wavelength"},
}};

template <std::size_t N>
std::string lookUp(const std::array<NamePair, N>& table, const std::string& name) {
  for (const auto& [from, to] : table)
    if (name == from) return std::string(to);
  return name;
}

}  // namespace

std::string externalNameForWriting(const std::string& internalName) { return lookUp(kWriting, internalName); }

std::string internalNameForReading(const std::string& externalName) { return lookUp(kReading, externalName); }

}  // namespace lumatix::datastore
