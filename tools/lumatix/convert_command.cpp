#include <iostream>

#include "commands.h"
#include "output_formats.h"

namespace lumatix::cli {

void addConvertCommand(CLI::App& app, InputOptions& input) {
  auto* command = app.add_subcommand("convert", "Read any readable file and write it whole in another format");
  static std::string in, out, format;
  command->add_option("IN", in, "Input file")->required();
  command->add_option("OUT", out, "Output file")->required();
  command->add_option("--format", format, "Output format name (default: from the extension)")->check(NonEmpty());
  command->callback([&input] {
    const OutputFormat& target = chooseOutputFormat(out, format);
    auto store = loadStore(in, input);
    writeOutput(*store, target, out);
  });
}

}  // namespace lumatix::cli
