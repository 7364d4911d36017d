#include "export/readback_check.h"

#include <cmath>
#include <cstdint>

namespace lumatix::exports {
namespace {

// The readers' limits, beyond which a count is taken for something else.
constexpr std::int64_t kLumBinaryMaxRemarks = 65535;
constexpr std::int64_t kLumBinaryMaxHistory = 255;
constexpr std::int64_t kLumatixStoreMaxHistory = 65535;

bool hasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

bool isText(std::string_view format) {
  return format == "LumatixStore" || format == "QVL-ASCII-SPECTRAKINETIC" || format == "QVL-ASCII" ||
         format == "JCAMP-DX 5.0";
}

bool isReadable(std::string_view format) { return isText(format) || format == "LumBinaryX" || format == "LumBinary"; }

std::string tooMany(std::int64_t count, const char* what, std::string_view format, std::int64_t limit) {
  return "This data has " + std::to_string(count) + " " + what + "; the " + std::string(format) +
         " format keeps at most " + std::to_string(limit) + ". Save it as LumBinaryX, which keeps them all.\n";
}

}  // namespace

std::string whyNotWritable(const datastore::DataStore& store, std::string_view format) {
  if (!isReadable(format)) return {};
  const std::string name(format);
  if (store.properties.size() < 1) return "The data has no properties: there is nothing to save.\n";
  if (store.dimensions.size() < 1) return "The data has no dimensions: there is nothing to save.\n";
  for (const auto& dimension : store.dimensions)
    if (dimension.size() < 1)
      return "The dimension " + dimension.name + " has no points: there is nothing to save.\n";

  if (format == "LumBinary") {
    if (store.remarks.size() > kLumBinaryMaxRemarks)
      return tooMany(store.remarks.size(), "remarks", format, kLumBinaryMaxRemarks);
    if (static_cast<std::int64_t>(store.history.size()) > kLumBinaryMaxHistory)
      return tooMany(static_cast<std::int64_t>(store.history.size()), "history entries", format, kLumBinaryMaxHistory);
  }
  if (format == "LumatixStore" && static_cast<std::int64_t>(store.history.size()) > kLumatixStoreMaxHistory)
    return tooMany(static_cast<std::int64_t>(store.history.size()), "history entries", format, kLumatixStoreMaxHistory);

  if (isText(format)) {
    // The text formats keep one name or remark per line.
    const auto lineBreak = [&](const std::string& what) {
      return "The " + what + " contains a line break, which the " + name +
             " format cannot hold. Remove it, or save the data as LumBinaryX.\n";
    };
    if (hasLineBreak(store.title)) return lineBreak("title");
    for (const auto& p : store.properties)
      if (hasLineBreak(p)) return lineBreak("property name " + p.substr(0, p.find_first_of("\r\n")));
    for (const auto& d : store.dimensions)
      if (hasLineBreak(d.name)) return lineBreak("dimension name " + d.name.substr(0, d.name.find_first_of("\r\n")));
    for (const auto& r : store.remarks)
      if (hasLineBreak(r)) return lineBreak("remark " + r.substr(0, r.find_first_of("\r\n")));
    for (const auto& o : store.options)
      if (hasLineBreak(o)) return lineBreak("option line " + o.substr(0, o.find_first_of("\r\n")));
  }

  if (format == "JCAMP-DX 5.0") {
    std::int32_t varying = 0;
    for (const auto& d : store.dimensions) varying += d.size() > 1 ? 1 : 0;
    if (store.dimensions.size() > 2 && (varying > 2 || varying == 0))
      return "JCAMP-DX holds one or two varying dimensions; this data varies along " + std::to_string(varying) +
             ". Save it as LumBinaryX, or export the traces of one plot.\n";
    for (std::int64_t i = 0; i < store.data.count; ++i)
      if (!std::isfinite(store.data.data[i]))
        return "The data holds values that are not finite numbers (NaN or infinity), which JCAMP-DX cannot hold. "
               "Save it as LumBinaryX.\n";
    for (const auto& d : store.dimensions)
      for (std::int32_t i = 0; i < d.size(); ++i)
        if (!std::isfinite(d.values[i]))
          return "The dimension " + d.name +
                 " holds values that are not finite numbers (NaN or infinity), which JCAMP-DX cannot hold. Save it as "
                 "LumBinaryX.\n";
  }
  return {};
}

}  // namespace lumatix::exports
