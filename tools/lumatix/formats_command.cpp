#include <iostream>

#include "commands.h"
#include "output_formats.h"

namespace lumatix::cli {

void addFormatsCommand(CLI::App& app) {
  auto* command = app.add_subcommand("formats", "The ten file formats: name, extension, whether they can be read");
  command->callback([] {
    for (const auto& format : outputFormats())
      std::cout << format.name << '\t' << format.extension << '\t' << (format.readable ? "read" : "export only")
                << '\t' << "write" << '\n';
  });
}

}  // namespace lumatix::cli
