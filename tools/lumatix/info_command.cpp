#include <iostream>
#include <sstream>

#include "commands.h"

namespace lumatix::cli {
namespace {

void printInfo(datastore::DataStore& store) {
  auto& out = std::cout;
  out << "Title: " << store.title << '\n';
  out << "Format: " << store.formatName << '\n';
  std::ostringstream attributes;
  store.describeAttributes(attributes);
  printText(out, attributes.str());

  out << "Dimensions: " << store.dimensions.size() << '\n';
  for (const auto& d : store.dimensions) {
    out << "  " << d.name << '\t' << d.size() << " points";
    if (d.size() > 0) out << '\t' << formatNumber(d.values[0]) << " .. " << formatNumber(d.values[d.size() - 1]);
    out << '\n';
  }
  out << "Properties: " << store.properties.size() << '\n';
  for (const auto& p : store.properties) out << "  " << p << '\n';
  out << "Remarks: " << store.remarks.size() << '\n';
  for (const auto& r : store.remarks) out << "  " << r << '\n';
  out << "Options: " << store.options.size() << '\n';
  for (const auto& o : store.options) out << "  " << o << '\n';
  out << "History: " << store.history.size() << '\n';
  for (const auto& h : store.history) out << "  " << h.title << '\n';
}

}  // namespace

void addInfoCommand(CLI::App& app, InputOptions& input) {
  auto* command = app.add_subcommand("info", "Title, format, attributes, dimensions, properties, remarks, options and history titles");
  static std::vector<std::string> files;
  command->add_option("FILE", files, "Files to describe")->required();
  command->callback([&input] {
    bool first = true;
    for (const auto& file : files) {
      if (!first) std::cout << '\n';
      first = false;
      if (files.size() > 1) std::cout << "File: " << file << '\n';
      auto store = loadStore(file, input);
      printInfo(*store);
    }
  });
}

}  // namespace lumatix::cli
