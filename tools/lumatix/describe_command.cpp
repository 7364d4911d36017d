#include <iostream>

#include "commands.h"
#include "processing/settings_description.h"

namespace lumatix::cli {

void addDescribeCommand(CLI::App& app, InputOptions& input) {
  auto* command = app.add_subcommand("describe", "The readable settings text of every dimension and property");
  static std::string file;
  command->add_option("FILE", file, "Input file")->required();
  command->callback([&input] {
    auto store = loadStore(file, input);
    std::cout << "Dimensions:\n";
    for (const auto& dimension : store->dimensions)
      std::cout << processing::FirstWord(dimension.name) << '\t' << processing::DescribeDimension(dimension) << '\n';
    std::cout << "Properties:\n";
    for (const auto& property : store->properties)
      std::cout << processing::FirstWord(property) << '\t' << processing::DescribeProperty(property) << '\n';
  });
}

}  // namespace lumatix::cli
