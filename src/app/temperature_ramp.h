#pragma once
// Temperature-ramp extraction: a store of one property measured over Temperature x
// Wavelength is written as one file per temperature (a spectrum) and one per wavelength (a
// melting curve), in an output folder named by the person.

#include <string>

#include "app/store_output.h"

namespace lumatix::datastore {
class DataStore;
}

namespace lumatix::app {

class Ui;

enum class RampFormat { Csv, Dsa, Dsx };

// ".csv", ".dsa", ".dsx", and the writer's format name.
const char* rampExtension(RampFormat format);
const char* rampFormatName(RampFormat format);

// Why a store cannot be extracted, in the order the tests are made, or "" when it can:
// "File <file> does not contain the setpoint temperature property." (no property whose
// short name is "Temperature"), "File <file> has too many/too few dimensions",
// "File <file> is missing the Temperature dimension" (then Wavelength).
std::string rampRefusal(const datastore::DataStore& store, const std::string& file);

enum class RampOutcome { Done, Refused, Cancelled, Failed };

// Writes the files into outputPath (created one level deep when missing; else "Failed to
// create directory '<path>'"), named after its last component plus " " and the value.
// An existing file is replaced only when the person answers Yes to the overwrite question;
// No skips it, Cancel skips it and ends the extraction. The first write failure ends it
// with its message. Done shows "Temperature ramp data successfully decomposed.".
RampOutcome extractTemperatureRamp(datastore::DataStore& store, const std::string& file, RampFormat format,
                                   const std::string& outputPath, Ui& ui, const WorkHooks& hooks = {});

// The launch pad's command: loads the file, then as above.
RampOutcome extractTemperatureRamp(const std::string& file, bool allowCary, RampFormat format,
                                   const std::string& outputPath, Ui& ui, const WorkHooks& hooks = {});

}  // namespace lumatix::app
