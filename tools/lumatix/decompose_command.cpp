#include <cmath>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <system_error>

#include "app/decomposition.h"
#include "commands.h"
#include "interrupt_guard.h"
#include "terminal_ui.h"
#include "trace_choice.h"

namespace lumatix::cli {

namespace {

struct DecomposeOptions {
  std::string in;
  std::string out;
  std::vector<std::string> primary;
  std::vector<std::string> ranges;
  bool yes = false;
  bool no = false;
};

// DIM=LO:HI narrows a dimension to the values from LO to HI.
void applyRange(const datastore::DataStore& store, const std::string& text, std::vector<app::DimensionChoice>& rows) {
  std::size_t equals = text.find('=');
  std::size_t colon = text.find(':', equals == std::string::npos ? 0 : equals);
  if (equals == std::string::npos || colon == std::string::npos)
    throw CommandError("Error! --range takes DIM=LO:HI, not " + text + "\n");
  int d = resolveDimension(store, text.substr(0, equals));
  float lo = 0.0f;
  float hi = 0.0f;
  std::istringstream low(text.substr(equals + 1, colon - equals - 1));
  std::istringstream high(text.substr(colon + 1));
  if (!(low >> lo) || !(high >> hi) || !(low >> std::ws).eof() || !(high >> std::ws).eof())
    throw CommandError("Error! --range takes DIM=LO:HI, not " + text + "\n");
  if (!std::isfinite(lo) || !std::isfinite(hi) || lo > hi)
    throw CommandError("Error! --range takes DIM=LO:HI with finite LO <= HI, not " + text + "\n");
  rows[static_cast<std::size_t>(d)].rangeMin = lo;
  rows[static_cast<std::size_t>(d)].rangeMax = hi;
}

}  // namespace

void addDecomposeCommand(CLI::App& app, InputOptions& input) {
  auto* command =
      app.add_subcommand("decompose", "Split a file into a directory tree of LumBinaryX files, one per combination of "
                                      "the values of the dimensions that are not primary");
  static DecomposeOptions o;
  command->add_option("IN", o.in, "Input file")->required();
  command->add_option("OUTDIR", o.out, "Folder to write the tree into (created when missing)")->required();
  command->add_option("--primary", o.primary, "Dimensions kept whole in every file (short name or index)")
      ->required()
      ->delimiter(',');
  command->add_option("--range", o.ranges, "DIM=LO:HI keeps only the values from LO to HI of a dimension");
  auto* yes = command->add_flag("--yes", o.yes, "Answer Yes to the questions");
  command->add_flag("--no", o.no, "Answer No to the questions (the default)")->excludes(yes);
  command->callback([&input] {
    auto store = loadStore(o.in, input);
    auto rows = app::defaultChoice(*store);
    for (const auto& p : o.primary) rows[static_cast<std::size_t>(resolveDimension(*store, p))].primary = true;
    for (const auto& r : o.ranges) applyRange(*store, r, rows);

    std::error_code e;
    const bool created = std::filesystem::create_directory(o.out, e);
    // A folder made for this run goes again when the run fails before writing into it.
    auto removeIfEmpty = [&] {
      if (created) std::filesystem::remove(o.out, e);
    };
    TerminalUi ui(std::cerr, o.yes, TerminalUi::stderrIsTerminal());
    InterruptGuard guard;
    app::WorkHooks hooks;
    hooks.cancelled = [] { return InterruptGuard::interrupted(); };
    std::size_t written = 0;
    try {
      written = app::decompose(*store, rows, o.out, ui, hooks);
    } catch (const CommandError&) {
      removeIfEmpty();
      throw;
    } catch (const std::exception& error) {
      removeIfEmpty();
      throw CommandError(error.what());
    }
    ui.showMessage("Datastore Successfully decomposed and saved", "", app::Icon::Information, app::Buttons::Ok);
    std::cout << written << " files written\n";
  });
}

}  // namespace lumatix::cli
