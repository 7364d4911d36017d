#pragma once
// What every command of the lumatix program shares: loading its input, printing texts,
// and the refusals that end a command with status 1.

#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>

#include <CLI/CLI.hpp>

#include "datastore/data_store.h"

namespace lumatix::cli {

// A refusal or failure: what() is printed as it stands on standard error, status 1.
class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A refusal the program has already shown on standard error: status 1, nothing more printed.
class Reported : public CommandError {
 public:
  Reported() : CommandError("") {}
};

// Options every command that reads a file understands.
struct InputOptions {
  bool allowCary = false;
};

// Loads a file as the viewer would; the loader's own message on refusal, and
// "Sorry!\n\nCan't open the file..." style text when the file cannot be read at all.
std::unique_ptr<datastore::DataStore> loadStore(const std::string& path, const InputOptions& options);

// The core's messages that name its own code ("CDataSet::SmoothSG : ...") said the way a
// person can act on; any other text comes back as it is.
std::string forPerson(const std::string& text);

// Writes program text for a terminal: CR LF line ends become LF.
void printText(std::ostream& out, const std::string& text);

// A number check for options: a finite value from min to max. CLI::Range alone lets NaN
// through, since every comparison with NaN is false.
CLI::Validator FiniteRange(double min, double max);

// An option value that must say something: an empty --format or --select would otherwise
// read as the option left out and quietly mean "from the extension" or "every trace".
CLI::Validator NonEmpty();

// A float in the default stream form (6 significant digits).
std::string formatNumber(double value);

// The fitting function a --model or --fit value names: its index or its name. Throws
// CommandError "There is no fitting function ..." for anything else.
int chooseModel(const std::string& text);

}  // namespace lumatix::cli
