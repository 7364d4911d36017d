#include <iostream>

#include "commands.h"

namespace lumatix::cli {

void addHistoryCommand(CLI::App& app, InputOptions& input) {
  auto* command = app.add_subcommand("history", "Every history entry's text form, oldest first");
  static std::string file;
  command->add_option("FILE", file, "The file")->required();
  command->callback([&input] {
    auto store = loadStore(file, input);
    for (const auto& line : store->historyLines()) printText(std::cout, line);
  });
}

}  // namespace lumatix::cli
