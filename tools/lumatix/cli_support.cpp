#include "cli_support.h"

#include <sstream>

namespace lumatix::cli {

std::unique_ptr<datastore::DataStore> loadStore(const std::string& path, const InputOptions& options) {
  auto store = std::make_unique<datastore::DataStore>(true);
  store->allowCary = options.allowCary;
  if (!store->load(path, false)) throw CommandError("Sorry!\n\nCan't open the file " + path + "\n");
  return store;
}

void printText(std::ostream& out, const std::string& text) {
  std::string converted;
  converted.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    converted += text[i];
  }
  out << converted;
}

std::string formatNumber(double value) {
  std::ostringstream s;
  s << value;
  return s.str();
}

}  // namespace lumatix::cli
