#include <iostream>

#include "app/temperature_ramp.h"
#include "commands.h"
#include "interrupt_guard.h"
#include "terminal_ui.h"

namespace lumatix::cli {

void addRampCommand(CLI::App& app, InputOptions& input) {
  auto* command = app.add_subcommand(
      "ramp", "Write a temperature ramp as one file per temperature and one per wavelength into the folder OUTBASE");
  static std::string in, out, format;
  static bool yes = false, no = false;
  command->add_option("IN", in, "Input file (Temperature x Wavelength with the setpoint temperature)")->required();
  command->add_option("OUTBASE", out, "Output folder; its name starts every file name")->required();
  command->add_option("--format", format, "Output format")->required()->check(CLI::IsMember({"csv", "dsa", "dsx"}));
  auto* yesFlag = command->add_flag("--yes", yes, "Overwrite existing files");
  command->add_flag("--no", no, "Keep existing files (the default)")->excludes(yesFlag);
  command->callback([&input] {
    auto store = loadStore(in, input);
    app::RampFormat chosen = format == "csv" ? app::RampFormat::Csv
                             : format == "dsa" ? app::RampFormat::Dsa
                                               : app::RampFormat::Dsx;
    TerminalUi ui(std::cerr, yes, TerminalUi::stderrIsTerminal());
    InterruptGuard guard;
    app::WorkHooks hooks;
    hooks.cancelled = [] { return InterruptGuard::interrupted(); };
    std::size_t written = 0;
    switch (app::extractTemperatureRamp(*store, in, chosen, out, ui, hooks, &written)) {
      case app::RampOutcome::Done:
        std::cout << written << " files written\n";
        return;
      case app::RampOutcome::Skipped:
        throw CommandError("No file was written: every one exists already (--yes replaces them).\n");
      case app::RampOutcome::Cancelled:
        // Only an interruption cancels here; the message was not shown by anyone.
        throw CommandError("Temperature ramp extraction stopped.\n");
      case app::RampOutcome::Refused:
      case app::RampOutcome::Failed:
        break;
    }
    // The reason is already on standard error.
    throw CommandError("");
  });
}

}  // namespace lumatix::cli
