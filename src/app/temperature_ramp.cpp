#include "app/temperature_ramp.h"

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "app/decomposition.h"
#include "app/launch_pad_paths.h"
#include "app/ui.h"
#include "app/user_pref.h"
#include "datastore/data_store.h"
#include "datastore/datastore_extractor.h"
#include "datastore/ds_subset.h"
#include "export/dispatcher.h"
#include "processing/datastore_ranges.h"

namespace lumatix::app {

namespace fs = std::filesystem;

namespace {

// Refusals stop the writer and become the extraction's failure; warnings and advice are
// shown and the writer goes on.
class UiReporter : public exports::Reporter {
 public:
  explicit UiReporter(Ui& ui) : ui_(ui) {}
  void error(const std::string& text) override { refusal = text; }
  void warning(const std::string& text) override {
    ui_.showMessage(text, kShowMessageCaption, Icon::Warning, Buttons::Ok);
  }
  void information(const std::string& text) override {
    ui_.showMessage(text, kShowMessageCaption, Icon::Information, Buttons::Ok);
  }
  std::string refusal;

 private:
  Ui& ui_;
};

std::string valueText(float value) {
  std::ostringstream s;
  s << value;
  return s.str();
}

class RampWriter {
 public:
  RampWriter(datastore::DataStore& store, RampFormat format, std::string folder, std::string base, Ui& ui,
             const WorkHooks& hooks)
      : store_(store), format_(format), folder_(std::move(folder)), base_(std::move(base)), ui_(ui), hooks_(hooks) {
    total_ = static_cast<std::size_t>(store.dimensions[0].size() + store.dimensions[1].size());
  }

  // Writes one file per index of the dimension; false when the extraction is to end.
  bool writeAlong(int dimension, RampOutcome& outcome) {
    processing::CDatastoreRanges ranges(&store_);
    ranges.AddPrimaryDimensions(1 - dimension);
    datastore::CDSSubset top(ranges);
    datastore::CDSSubset level(top, 1);
    datastore::CDataStoreExtractor extractor(level);
    const datastore::Dimension& dim = store_.dimensions[dimension];
    const std::string title = store_.title;
    for (std::int32_t i = 0; i < dim.size(); ++i) {
      if (hooks_.cancelled && hooks_.cancelled()) {
        outcome = RampOutcome::Cancelled;
        return false;
      }
      auto sub = extractor.extractNext();
      const std::string value = valueText(dim.values[i]);
      sub->title = title + " " + value;
      const std::string fileName = base_ + " " + value + rampExtension(format_);
      const std::string path = joinPath(folder_, fileName);
      ++handled_;
      if (pathTaken(path)) {
        Answer answer = ui_.showMessage("Error converting " + base_ + " to " + fileName + ".\n\nA file called " +
                                            fileName + " already exists in the target directory.\n\nOverwrite?",
                                        kShowMessageCaption, Icon::Question, Buttons::YesNoCancel);
        if (answer == Answer::Cancel) {
          outcome = RampOutcome::Cancelled;
          return false;
        }
        if (answer != Answer::Yes) {
          ++extractor;
          continue;
        }
      }
      write(*sub, path);
      ++written_;
      ui_.progress("Extracting temperature ramp", static_cast<double>(handled_) / static_cast<double>(total_));
      ++extractor;
    }
    return true;
  }

  std::size_t written() const { return written_; }

 private:
  void write(datastore::DataStore& sub, const std::string& path) {
    if (hooks_.write) {
      hooks_.write(sub, path);
      return;
    }
    UiReporter reporter(ui_);
    if (!exports::writeStore(sub, rampFormatName(format_), path, reporter)) throw std::runtime_error(reporter.refusal);
  }

  datastore::DataStore& store_;
  RampFormat format_;
  std::string folder_;
  std::string base_;
  Ui& ui_;
  const WorkHooks& hooks_;
  std::size_t total_ = 0;
  std::size_t handled_ = 0;
  std::size_t written_ = 0;
};

}  // namespace

const char* rampExtension(RampFormat format) {
  switch (format) {
    case RampFormat::Csv:
      return ".csv";
    case RampFormat::Dsa:
      return ".dsa";
    case RampFormat::Dsx:
      break;
  }
  return ".dsx";
}

const char* rampFormatName(RampFormat format) {
  switch (format) {
    case RampFormat::Csv:
      return "LumatixCSV";
    case RampFormat::Dsa:
      return "LumatixStore";
    case RampFormat::Dsx:
      break;
  }
  return "LumBinaryX";
}

const char* rampChoiceText(RampFormat format) {
  switch (format) {
    case RampFormat::Csv:
      return "Output data in CSV format.";
    case RampFormat::Dsa:
      return "Output data in Lumatix LumatixStore ASCII (.dsa) format.";
    case RampFormat::Dsx:
      break;
  }
  return "Output data in Lumatix LumBinaryX (.dsx) format.";
}

std::optional<std::string> askRampOutput(Ui& ui) {
  auto choice = ui.chooseSaveFile("Save As", "", {{kDirectoryTreeFilter, ""}}, 1);
  if (!choice) return std::nullopt;
  return choice->path;
}

std::string rampRefusal(const datastore::DataStore& store, const std::string& file) {
  if (store.findProperty("Temperature", true) < 0)
    return "File " + file + " does not contain the setpoint temperature property.";
  if (store.dimensions.size() != 2) return "File " + file + " has too many/too few dimensions";
  for (const char* name : {"Temperature", "Wavelength"})
    if (store.findDimension(name, true) < 0) return "File " + file + " is missing the " + name + " dimension";
  return "";
}

RampOutcome extractTemperatureRamp(datastore::DataStore& store, const std::string& file, RampFormat format,
                                   const std::string& outputPath, Ui& ui, const WorkHooks& hooks,
                                   std::size_t* written) {
  std::string refusal = rampRefusal(store, file);
  if (!refusal.empty()) {
    ui.showMessage(refusal, kShowMessageCaption, Icon::Warning, Buttons::Ok);
    return RampOutcome::Refused;
  }
  std::string folder = outputPath;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  std::error_code e;
  if (!fs::create_directory(folder, e) && !fs::is_directory(folder, e)) {
    ui.showMessage("Failed to create directory '" + folder + "'", kShowMessageCaption, Icon::Warning, Buttons::Ok);
    return RampOutcome::Failed;
  }
  RampWriter writer(store, format, folder, fs::path(folder).filename().string(), ui, hooks);
  RampOutcome outcome = RampOutcome::Done;
  try {
    if (writer.writeAlong(store.findDimension("Temperature", true), outcome))
      writer.writeAlong(store.findDimension("Wavelength", true), outcome);
  } catch (const std::exception& error) {
    if (written) *written = writer.written();
    ui.showMessage(error.what(), kShowMessageCaption, Icon::Error, Buttons::Ok);
    return RampOutcome::Failed;
  }
  if (written) *written = writer.written();
  // Every file existed and was kept: nothing was decomposed, so nothing is called a success.
  if (outcome == RampOutcome::Done && writer.written() == 0) return RampOutcome::Skipped;
  if (outcome == RampOutcome::Done)
    ui.showMessage("Temperature ramp data successfully decomposed.", kShowMessageCaption, Icon::Information,
                   Buttons::Ok);
  return outcome;
}

RampOutcome extractTemperatureRamp(const std::string& file, bool allowCary, RampFormat format,
                                   const std::string& outputPath, Ui& ui, const WorkHooks& hooks) {
  auto store = loadSelectedFile(file, allowCary, ui);
  if (!store) return RampOutcome::Failed;
  return extractTemperatureRamp(*store, file, format, outputPath, ui, hooks);
}

}  // namespace lumatix::app
