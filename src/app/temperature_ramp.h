#pragma once
// Temperature-ramp extraction: a store of one property measured over Temperature x
// Wavelength is written as one file per temperature (a spectrum) and one per wavelength (a
// melting curve), in an output folder named by the person.

#include <optional>
#include <string>

#include "app/store_output.h"

namespace lumatix::datastore {
class DataStore;
}

namespace lumatix::app {

class Ui;

inline constexpr const char* kRampDialogTitle = "Extract temperature ramp data";
inline constexpr const char* kRampDialogText =
    "This dialogue allows you to save Temperature ramp data in separate files for each temperature and/or "
    "wavelength in the DataStore file.";

// In the order of the dialog's three choices.
enum class RampFormat { Csv, Dsa, Dsx };

// "Output data in CSV format.", "Output data in Lumatix LumatixStore ASCII (.dsa) format.",
// "Output data in Lumatix LumBinaryX (.dsx) format.".
const char* rampChoiceText(RampFormat format);

// "Save As...": the output path chosen in the save dialog, nullopt when the person cancels.
std::optional<std::string> askRampOutput(Ui& ui);

// ".csv", ".dsa", ".dsx", and the writer's format name.
const char* rampExtension(RampFormat format);
const char* rampFormatName(RampFormat format);

// Why a store cannot be extracted, in the order the tests are made, or "" when it can:
// "File <file> does not contain the setpoint temperature property." (no property whose
// short name is "Temperature"), "File <file> has too many/too few dimensions",
// "File <file> is missing the Temperature dimension" (then Wavelength).
std::string rampRefusal(const datastore::DataStore& store, const std::string& file);

enum class RampOutcome { Done, Skipped, Refused, Cancelled, Failed };

// Writes the files into outputPath (created one level deep when missing; else "Failed to
// create directory '<path>'"), named after its last component plus " " and the value.
// An existing file is replaced only when the person answers Yes to the overwrite question;
// No skips it, Cancel skips it and ends the extraction. The first write failure ends it
// with its message. Done shows "Temperature ramp data successfully decomposed.". The number
// of files written goes to *written when given. Skipped: every file existed and was kept, so
// none was written and no success is shown.
RampOutcome extractTemperatureRamp(datastore::DataStore& store, const std::string& file, RampFormat format,
                                   const std::string& outputPath, Ui& ui, const WorkHooks& hooks = {},
                                   std::size_t* written = nullptr);

// The launch pad's command: loads the file, then as above.
RampOutcome extractTemperatureRamp(const std::string& file, bool allowCary, RampFormat format,
                                   const std::string& outputPath, Ui& ui, const WorkHooks& hooks = {});

}  // namespace lumatix::app
