// lumatix svd: the singular value decomposition of a file's traces, printed and saved as four
// LumBinaryX files. Everything is computed before the first file is written, and a failed
// write removes the files written before it, so a refusal leaves no partial output.

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "commands.h"
#include "output_formats.h"
#include "processing/svd.h"
#include "trace_choice.h"

namespace lumatix::cli {

void addSvdCommand(CLI::App& app, InputOptions& input) {
  struct Options {
    std::string in, outBase;
    int components = 0;
    TraceChoice choice;
  };
  static Options o;
  auto* command = app.add_subcommand(
      "svd", "Decompose the traces of a file by singular values; print them and save the first K components");
  command->add_option("IN", o.in, "Input file")->required()->check(CLI::ExistingFile);
  command->add_option("OUTBASE", o.outBase, "Output name: OUTBASE_values.dsx, _basis, _amplitudes, _rebuilt")
      ->required();
  command->add_option("--components", o.components, "K, the number of components kept")->required();
  addTraceChoiceOptions(*command, o.choice);
  command->callback([&input] {
    auto store = loadStore(o.in, input);
    const processing::CDataSet set = loadTraces(*store, o.choice);
    processing::SvdResult result;
    try {
      result = processing::DecomposeTraces(set, o.components, o.in, store.get(), false);
    } catch (const CommandError&) {
      throw;
    } catch (const std::exception& error) {
      throw CommandError(std::string(error.what()) + "\n");
    }

    const OutputFormat& format = chooseOutputFormat(o.outBase + ".dsx", "");
    const std::pair<const char*, datastore::DataStore*> outputs[] = {{"_values.dsx", result.values.get()},
                                                                      {"_basis.dsx", result.basis.get()},
                                                                      {"_amplitudes.dsx", result.amplitudes.get()},
                                                                      {"_rebuilt.dsx", result.rebuilt.get()}};
    std::vector<std::string> written;
    try {
      for (const auto& [suffix, out] : outputs) {
        const std::string path = o.outBase + suffix;
        writeOutput(*out, format, path);
        written.push_back(path);
      }
    } catch (...) {
      std::error_code ignored;
      for (const auto& path : written) std::filesystem::remove(path, ignored);
      throw;
    }
    for (double value : result.singularValues) std::printf("%g\n", value);
  });
}

}  // namespace lumatix::cli
