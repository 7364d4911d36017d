#pragma once
// How the launch pad's commands load the selected file and write the many files they make:
// loading reports its failure to the person; writing goes through a replaceable writer so
// that a failing disk can be simulated.

#include <functional>
#include <memory>
#include <string>

namespace lumatix::datastore {
class DataStore;
}

namespace lumatix::app {

class Ui;

// Loads the whole file. On failure tells the person "Failed to load DataStore.\nThe file may
// be corrupt.\n(<reason>)", "Too low on memory. Please close some applications and try
// again.\n" or "An unknown error has occurred", and returns null.
std::unique_ptr<datastore::DataStore> loadSelectedFile(const std::string& path, bool allowCary, Ui& ui);

// Writes one store to one path, atomically; throws std::runtime_error with the user text.
using StoreWriter = std::function<void(datastore::DataStore& store, const std::string& path)>;

// Long work: told how far it has come (0..1), and asked between two files whether to stop.
struct WorkHooks {
  StoreWriter write;                 // null: the format's own atomic writer; may be called
                                     // from several threads at once
  std::function<bool()> cancelled;   // null: never
};

// The text of a store's output name: "Temperature=20 Wavelength=200 " gives
// "Temperature=20 Wavelength=200"; a "/" (which would leave the target folder) becomes "_".
std::string outputName(const std::string& title);

// True when path names an existing file, folder or link (a dangling link included).
bool pathTaken(const std::string& path);

}  // namespace lumatix::app
