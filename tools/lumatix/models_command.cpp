#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "commands.h"
#include "fitting/fit_funx.h"

namespace lumatix::cli {
namespace {

std::string joined(const std::vector<std::string>& names) {
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i) list += (i ? "," : "") + names[i];
  return list;
}

}  // namespace

void addModelsCommand(CLI::App& app) {
  auto* command = app.add_subcommand("models", "The fitting functions: index, name, parameter list, equation");
  auto json = std::make_shared<bool>(false);
  command->add_flag("--json", *json, "Write a JSON array of {index, name, parameters, equation}");
  command->callback([json] {
    const auto& table = fitting::FitFunx();
    if (*json) {
      nlohmann::ordered_json list = nlohmann::ordered_json::array();
      for (std::size_t i = 0; i < table.size(); ++i)
        list.push_back({{"index", i},
                        {"name", table[i].name},
                        {"parameters", table[i].parameterNames},
                        {"equation", table[i].equation}});
      std::cout << list.dump(2) << '\n';
      return;
    }
    for (std::size_t i = 0; i < table.size(); ++i)
      std::cout << i << '\t' << table[i].name << '\t' << joined(table[i].parameterNames) << '\t' << table[i].equation
                << '\n';
  });
}

}  // namespace lumatix::cli
