// The processing commands: baseline, average, math, smooth and cd-units. Each loads the file
// into a plot document, selects traces as told, runs the document's own command with the
// dialog's values taken from the options, and writes what "Save Current Plot" writes.

#include <charconv>
#include <functional>
#include <iostream>
#include <memory>

#include "app/plot_dialogs.h"
#include "app/plot_document.h"
#include "commands.h"
#include "platform/atomic_file.h"
#include "datastore/smart_ptr.h"
#include "output_formats.h"
#include "terminal_ui.h"
#include "trace_choice.h"

namespace lumatix::cli {
namespace {

struct CommonOptions {
  std::string in, out, format, select;
  TraceChoice choice;
  bool yes = false, no = false;
};

void addCommonOptions(CLI::App& command, CommonOptions& o) {
  command.add_option("IN", o.in, "Input file")->required();
  command.add_option("OUT", o.out, "Output file")->required();
  command.add_option("--format", o.format, "Output format name (default: from the extension)")->check(NonEmpty());
  command.add_option("--select", o.select,
                     "Traces to work on: 1-based numbers in data-set order, e.g. 1,3,5-9 "
                     "(default: every present trace)")
      ->check(NonEmpty());
  addTraceChoiceOptions(command, o.choice);
  auto* yes = command.add_flag("--yes", o.yes, "Answer Yes to the program's questions");
  command.add_flag("--no", o.no, "Answer No to the program's questions (the default)")->excludes(yes);
}

int parseNumber(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || ptr != end)
    throw CLI::ValidationError("--select", "not a trace list: " + text);
  return value;
}

// 1-based trace numbers and ranges into 0-based indices.
std::vector<int> parseSelection(const std::string& list, int traces) {
  std::vector<int> chosen;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string item = list.substr(start, comma - start);
    const std::size_t dash = item.find('-');
    const int first = parseNumber(item.substr(0, dash));
    const int last = dash == std::string::npos ? first : parseNumber(item.substr(dash + 1));
    if (first < 1 || last < first || last > traces)
      throw CommandError("There is no trace " + item + ": the plot has " + std::to_string(traces) + " traces.\n");
    for (int t = first; t <= last; ++t) chosen.push_back(t - 1);
    start = comma + 1;
  }
  return chosen;
}

// Everything a processing command works with, loaded from the common options.
struct Session {
  explicit Session(const CommonOptions& o, const InputOptions& input)
      : options(o), format(chooseOutputFormat(o.out, o.format)), ui(std::cerr, o.yes) {
    store.reset(loadStore(o.in, input).release());
    doc = std::make_unique<app::PlotDocument>(store, o.in, ui);
    doc->setDataSet(loadTraces(*store, o.choice));
  }

  // The --select traces, or every present one.
  void selectTraces() {
    doc->deselectAll();
    if (options.select.empty()) {
      doc->selectAll();
      return;
    }
    for (int t : parseSelection(options.select, doc->dataSet().TraceCount())) doc->select(t, true);
  }

  int formatIndex() const {
    const auto& formats = outputFormats();
    for (std::size_t i = 0; i < formats.size(); ++i)
      if (formats[i].name == format.name) return static_cast<int>(i) + 1;
    return 0;
  }

  // A command that refused has already said why on standard error.
  static void require(bool done) {
    if (!done) throw Reported();
  }

  void saveCurrentPlot() {
    ui.setSaveTarget(options.out, formatIndex());
    require(doc->saveCurrentPlot());
  }

  // The saved plot holds every present trace and those a command adds. LumBinaryX keeps at
  // most 256 MiB of values, so a result beyond that is refused before it is computed rather
  // than after gigabytes of work.
  void checkRoomFor(std::size_t addedPerSelected) const {
    if (format.name != "LumBinaryX") return;
    const processing::CDataSet& set = doc->dataSet();
    const std::uint64_t points = set.xA.size() + set.xB.size();
    const std::uint64_t traces = static_cast<std::uint64_t>(doc->presentCount()) +
                                 addedPerSelected * static_cast<std::uint64_t>(doc->selection().size());
    constexpr std::uint64_t kMaxValueBytes = 268435456;
    if (points * traces * 4 > kMaxValueBytes)
      throw CommandError("This DataStore cannot be saved as LumBinaryX: it holds more than 268435456 bytes of values.\n");
  }

  const CommonOptions& options;
  const OutputFormat& format;
  TerminalUi ui;
  datastore::smart_ptr<datastore::DataStore> store;
  std::unique_ptr<app::PlotDocument> doc;
};

// The dialogs, filled in from the options as the person would fill them in.
struct OptionDialogs : app::PlotDialogs {
  std::function<bool(app::SimpleMathDialog&)> math;
  std::function<bool(app::SmoothingDialog&)> smoothing_;
  std::function<bool(app::ConvertDialog&)> convert;
  bool simpleMath(app::SimpleMathDialog& d) override { return math && math(d); }
  bool smoothing(app::SmoothingDialog& d) override { return smoothing_ && smoothing_(d); }
  bool convertUnits(app::ConvertDialog& d) override { return convert && convert(d); }
};

void addBaseline(CLI::App& app, InputOptions& input) {
  static CommonOptions o;
  static int baseline = 0;
  static bool subtract = false, add = false;
  auto* command = app.add_subcommand("baseline", "Subtract a baseline trace from the selected traces, or add it");
  addCommonOptions(*command, o);
  command->add_option("--baseline", baseline, "The baseline: its 1-based trace number")->required();
  auto* sub = command->add_flag("--subtract", subtract, "Subtract the baseline");
  auto* plus = command->add_flag("--add", add, "Add the baseline");
  sub->excludes(plus);
  command->callback([&input] {
    if (!subtract && !add) throw CLI::ValidationError("baseline", "give --subtract or --add");
    Session s(o, input);
    const auto chosen = parseSelection(std::to_string(baseline), s.doc->dataSet().TraceCount());
    s.doc->deselectAll();
    s.doc->select(chosen[0], true);
    Session::require(s.doc->toggleBaseline());
    s.selectTraces();
    Session::require(subtract ? s.doc->subtractBaseline() : s.doc->addBaseline());
    s.saveCurrentPlot();
  });
}

void addAverage(CLI::App& app, InputOptions& input) {
  static CommonOptions o;
  auto* command = app.add_subcommand("average", "The average of the selected traces (at least two)");
  addCommonOptions(*command, o);
  command->callback([&input] {
    Session s(o, input);
    s.selectTraces();
    Session::require(s.doc->average());
    s.saveCurrentPlot();
  });
}

void addMath(CLI::App& app, InputOptions& input) {
  static CommonOptions o;
  static std::string op;
  static float value = 0.0f;
  auto* command = app.add_subcommand("math", "Add, subtract, multiply or divide the selected traces by a constant");
  addCommonOptions(*command, o);
  command->add_option("--op", op, "The operation: +, -, x or /")
      ->required()
      ->check(CLI::IsMember({"+", "-", "x", "/"}));
  command->add_option("--value", value, "The constant")->required()->check(FiniteRange(-3.4e38, 3.4e38));
  command->callback([&input] {
    Session s(o, input);
    s.selectTraces();
    s.checkRoomFor(1);
    OptionDialogs dialogs;
    dialogs.math = [](app::SimpleMathDialog& d) {
      d.operation = op == "+" ? 0 : op == "-" ? 1 : op == "x" ? 2 : 3;
      d.constant = value;
      return true;
    };
    Session::require(s.doc->simpleMath(dialogs));
    s.saveCurrentPlot();
  });
}

void addSmooth(CLI::App& app, InputOptions& input) {
  static CommonOptions o;
  static int window = 0;
  static bool residuals = false, replace = false;
  auto* command = app.add_subcommand("smooth", "Savitzky-Golay smoothing of the selected traces");
  addCommonOptions(*command, o);
  command->add_option("--window", window, "The typed window value N (window 2N+1, clamped to half the points)")
      ->required()
      ->check(CLI::Range(0, processing::kMaxSmoothingValue));
  auto* res = command->add_flag("--residuals", residuals, "Also add the residual traces");
  command->add_flag("--replace", replace, "Replace the selected traces with their smoothed form")->excludes(res);
  command->callback([&input] {
    Session s(o, input);
    s.selectTraces();
    s.checkRoomFor(replace ? 0 : residuals ? 2 : 1);
    OptionDialogs dialogs;
    dialogs.smoothing_ = [](app::SmoothingDialog& d) {
      d.setWindowValue(window);
      d.setReplace(replace);
      d.setSaveResiduals(residuals);
      return true;
    };
    Session::require(s.doc->smooth(dialogs));
    s.saveCurrentPlot();
  });
}

// The converted file goes where the command was told to write.
struct OutputFile : app::ConvertedFileHandler {
  explicit OutputFile(Session& session) : s(session) {}
  bool saveAndOpen(datastore::smart_ptr<datastore::DataStore> store, const std::string&) override {
    try {
      writeOutput(*store, s.format, s.options.out);
      return true;
    } catch (const platform::OpenRefused& e) {
      std::cerr << e.what() << '\n' << e.reason() << '\n';
      return false;
    } catch (const std::exception& e) {
      // The viewer's message names no reason; the terminal can.
      printText(std::cerr, e.what());
      if (std::string(e.what()).back() != '\n') std::cerr << '\n';
      return false;
    }
  }
  Session& s;
};

void addCdUnits(CLI::App& app, InputOptions& input) {
  static CommonOptions o;
  static std::string to;
  static double conc = 0, molar = 0, path = 0, mrw = 0;
  static int residues = 0;
  auto* command = app.add_subcommand("cd-units", "Convert circular dichroism traces into another CD unit");
  addCommonOptions(*command, o);
  command->add_option("--to", to, "The target unit key: deltaa, mdeg, mcd, me, mre, mrmcd or mrme")
      ->required()
      ->check(CLI::IsMember({"deltaa", "mdeg", "mcd", "me", "mre", "mrmcd", "mrme"}));
  command->add_option("--conc", conc, "Mass concentration (mg/ml)")
      ->check(FiniteRange(0.0, 1e10));
  command->add_option("--molar", molar, "Molar concentration (mol/l)")
      ->check(FiniteRange(0.0, 1e10));
  command->add_option("--path", path, "Path length (cm)")
      ->check(FiniteRange(0.0, 1e10));
  command->add_option("--mrw", mrw, "Mean residue weight (g/mol)")
      ->check(FiniteRange(0.0, 1e10));
  command->add_option("--residues", residues, "Number of amino acid residues")->check(CLI::Range(0, 1000000000));
  command->callback([&input] {
    Session s(o, input);
    s.selectTraces();
    OptionDialogs dialogs;
    dialogs.convert = [&s](app::ConvertDialog& d) {
      if (!d.setTarget(to)) throw CommandError("The data are in " + d.sourceDisplayName() + " already.\n");
      d.setMassConcentration(conc);
      d.setMolarConcentration(molar);
      d.setPathLength(path);
      d.setResidueWeight(mrw);
      d.setResidues(residues);
      return d.accept(s.ui);
    };
    if (s.doc->dataSet().valueName.find("CircularDichroism") == std::string::npos)
      throw CommandError("Only circular dichroism data can be converted to other CD units.\n");
    OutputFile file(s);
    Session::require(s.doc->convertUnits(dialogs, file));
  });
}

}  // namespace

void addProcessingCommands(CLI::App& app, InputOptions& input) {
  addBaseline(app, input);
  addAverage(app, input);
  addMath(app, input);
  addSmooth(app, input);
  addCdUnits(app, input);
}

}  // namespace lumatix::cli
