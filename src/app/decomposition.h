#pragma once
// Decomposition of a store into a directory tree: one folder level per dimension that is
// split, one LumBinaryX file per combination of their values, each file keeping the
// primary dimensions whole. Existing files and folders are never replaced: the new name
// takes "_1", "_2", ... instead.

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/store_output.h"

namespace lumatix::datastore {
class DataStore;
}

namespace lumatix::app {

class Ui;

inline constexpr const char* kDecomposeDialogTitle = "Decompose Data";
inline constexpr const char* kDecompositionRootTitle = "Select Root Directory for decomposition";
// The save dialog's only filter (no pattern: any name may be typed).
inline constexpr const char* kDirectoryTreeFilter = "Datastore Directory Tree Structure";

// One row of the "Decompose Data" dialog.
struct DimensionChoice {
  float rangeMin = 0.0f;
  float rangeMax = 0.0f;
  bool primary = false;
};

// The dialog's rows for a store: each dimension's whole range, none primary.
std::vector<DimensionChoice> defaultChoice(const datastore::DataStore& store);

// Writes the tree into folder, which must exist ("Failed to Move to directory <folder>"),
// the dimensions in rows order (one row per dimension, else "Error! The decomposition needs
// one row per dimension."). The split dimensions are the non-primary ones, outermost
// folder level first. Throws std::runtime_error with the first failure's text:
// "Error! No more dimensions to select from." when nothing is split, "Failed to create
// directory <path>", "Could not open output file <path> for writing.", the writer's own
// text for a failed write, "Decomposition stopped." when cancelled. Returns the number of
// files written. Files are written on a few threads at once: a write hook must allow that.
std::size_t decompose(datastore::DataStore& store, const std::vector<DimensionChoice>& rows,
                      const std::string& folder, Ui& ui, const WorkHooks& hooks = {});

// The name a file of a sub-store takes in folder: its name without an extension plus
// ".dsx", with "_1", "_2", ... before ".dsx" while that is taken on the disk or reserved
// (handed to a writer that has not finished).
std::string freeFileName(const std::string& folder, const std::string& name,
                         const std::set<std::string>& reserved = {});

// decompose() with the outcome told to the person: "Datastore Successfully decomposed and
// saved", or the failure's text. True on success.
bool decomposeStore(datastore::DataStore& store, const std::vector<DimensionChoice>& rows, const std::string& folder,
                    Ui& ui, const WorkHooks& hooks = {});
// The top folder of a tree saved as dirFile ("x.dir" gives "x"), created when missing.
std::string decompositionTop(const std::string& dirFile);

// The launch pad's "Save Subsets..." (into rootFolder) and "Save As..." (into the
// ".dir" name chosen, less its extension, created when missing): loads the file,
// decomposes, and tells the person "Datastore Successfully decomposed and saved" or the
// failure. True on success.
bool decomposeIntoFolder(const std::string& file, bool allowCary, const std::vector<DimensionChoice>& rows,
                         const std::string& rootFolder, Ui& ui, const WorkHooks& hooks = {});
// "Save As...": asks for the tree's name in the save dialog; the name always ends in ".dir"
// (added when the person typed another ending). nullopt when the person cancels.
std::optional<std::string> askDecompositionName(Ui& ui);

bool decomposeSaveAs(const std::string& file, bool allowCary, const std::vector<DimensionChoice>& rows,
                     const std::string& dirFile, Ui& ui, const WorkHooks& hooks = {});

}  // namespace lumatix::app
