// lumatix: the viewer's processing from a shell.
// Exit status: 0 done, 1 refused or failed (the program's message on standard error),
// 2 wrong usage.

#include <csignal>
#include <iostream>

#include "commands.h"
#include "datastore/diagnostics.h"
#include "fitting/diagnostics.h"
#include "platform/atomic_file.h"
#include "platform/build_info.h"

namespace {

// Ctrl+C, kill or a closed terminal in the middle of a save: the temporary goes, the target
// stays as it was, and the process ends as the signal would have ended it.
extern "C" void removeTemporariesAndEnd(int signal) {
  lumatix::platform::AtomicFile::removeTemporariesNow();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace lumatix;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, removeTemporariesAndEnd);
  CLI::App app{"Open, process, fit, plot and export circular-dichroism and stopped-flow measurement files.",
               "lumatix"};
  app.require_subcommand(1);
  app.fallthrough();
  app.set_version_flag("--version", std::string("lumatix ") + platform::kApplicationName + " " + platform::kVersion);

  cli::InputOptions input;
  app.add_flag("--allow-cary", input.allowCary, "Accept Cary spectrophotometer text files");
  bool verbose = false;
  app.add_flag("-v,--verbose", verbose, "Show the readers' and the fitter's notes on standard error");
  // The readers' notes ("reading 2 comments") are for diagnosis, not for every run.
  std::ostream quiet(nullptr);
  app.parse_complete_callback([&] {
    datastore::setDiagnostics(verbose ? nullptr : &quiet);
    fitting::setDiagnostics(verbose ? nullptr : &quiet);
  });

  cli::addFormatsCommand(app);
  cli::addModelsCommand(app);
  cli::addInfoCommand(app, input);
  cli::addHistoryCommand(app, input);
  cli::addConvertCommand(app, input);
  cli::addTracesCommand(app, input);
  cli::addFitCommand(app, input);
  cli::addProcessingCommands(app, input);
  cli::addDescribeCommand(app, input);
  cli::addPlotCommand(app, input);
  cli::addDecomposeCommand(app, input);
  cli::addRampCommand(app, input);
  cli::addSvdCommand(app, input);
  cli::addAcquireCommand(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e);
    return code == 0 ? 0 : 2;
  } catch (const cli::Reported&) {
    return 1;
  } catch (const platform::OpenRefused& e) {
    std::cerr << e.what() << '\n' << e.reason() << '\n';
    return 1;
  } catch (const std::exception& e) {
    // An empty text: the command has already told the person why it stopped.
    std::string text = cli::forPerson(e.what());
    if (!text.empty()) std::cerr << text << (text.back() != '\n' ? "\n" : "");
    return 1;
  }
  return 0;
}
