#include "processing/trace_types.h"

#include <stdexcept>

#include "datastore/data_store.h"

namespace lumatix::processing {

namespace p = fitting::programs;

const std::vector<TraceTypeList>& traceTypeTable() {
  static const std::vector<TraceTypeList> table{
      {"CircularDichroism",
       {{"-me", "Molar Ellipticity", "Circular Dichroism", 3, nullptr, nullptr},
        {"-mrme", "Mean Residue Molar Ellipticity", "Circular Dichroism", 6, nullptr, nullptr},
        {"-mre", "Mean Residue Ellipticity", "Circular Dichroism", 5, nullptr, nullptr},
        {"-mcd", "Delta Epsilon", "Circular Dichroism", 2, nullptr, nullptr},
        {"-mrmcd", "Mean Residue Delta Epsilon", "Circular Dichroism", 4, nullptr, nullptr},
        {"-deltaa", "Circular Dichroism (delta A)", "Circular Dichroism", 1, nullptr, nullptr},
        {nullptr, "Circular Dichroism (mdeg)", "Circular Dichroism", 0, nullptr, nullptr}}},
      {"Absorbance",
       {{"-base", "Reference (V)", "Reference", 9, nullptr, nullptr},
        {"-tran", "Transmission (%)", "Transmission", 8, p::fractionToPercent, p::percentToFraction},
        {nullptr, "Absorbance (AU)", "Absorbance", 7, p::transmissionToAbsorbance, p::absorbanceToTransmission}}},
      {"PhotodiodeArray",
       {{"-abs", "Absorbance", "Absorbance", 7, nullptr, nullptr},
        {"-tran", "Transmission (%)", "Transmission", 8, nullptr, nullptr},
        {"-volt", "PDA Voltage", "Voltage", 9, nullptr, nullptr},
        {nullptr, "Voltage", "", 9, nullptr, nullptr}}},
      {"Voltage", {{nullptr, "Voltage (v)", "Voltage", 9, nullptr, nullptr}}},
      {"Fluorescence", {{nullptr, "Fluorescence (v)", "Fluorescence", 10, nullptr, nullptr}}},
      {"FluoPolarisation",
       {{"-Ani", "Fluorescence Anisotropy", "Fluorescence Anisotropy", 11, p::identity, p::anisotropyToPolarisation},
        {nullptr, "Fluorescence Polarisation", "Fluorescence Polarisation", 11, p::identity2,
         p::polarisationToAnisotropy}}},
      {"Temperature", {{nullptr, "Temperature (C)", "Temperature", 12, nullptr, nullptr}}},
      {"Count", {{nullptr, "Number of Samples", "Number of Samples", 13, nullptr, nullptr}}},
      {"HV", {{nullptr, "HV (v)", "HV", 14, nullptr, nullptr}}},
      {"LinearDichroism", {{nullptr, "Linear Dichroism (delta A)", "Linear Dichroism", 14, nullptr, nullptr}}},
      {"OpticalRotation", {{nullptr, "Optical Rotation (mdeg)", "Optical Rotation", 14, nullptr, nullptr}}},
      {"CCD",
       {{"-volt", "Intensity (arb. units)", "Intensity", 17, nullptr, nullptr},
        {"-excitation", "Intensity (arb. units)", "Intensity", 17, nullptr, nullptr},
        {nullptr, "Intensity (arb. units)", "Intensity", 17, nullptr, nullptr}}},
  };
  return table;
}

TraceInfo lookupTraceType(const std::string& text, int optionIndex) {
  TraceInfo info;
  const std::string firstWord = datastore::firstWord(text);
  for (const auto& list : traceTypeTable()) {
    if (text.find(list.typeKey) != std::string::npos) {
      info.list = &list;
      break;
    }
  }
  if (!info.list) {
    info.yLabel = text == "HT" ? "HV (v)" : text;
    info.valueName = firstWord;
    return info;
  }

  const auto& rows = info.list->rows;
  const int rowCount = static_cast<int>(rows.size());
  info.storedRow = rowCount - 1;
  for (int r = 0; r < rowCount; ++r) {
    const char* key = rows[static_cast<std::size_t>(r)].optionKey;
    if (key && text.find(key) != std::string::npos) {
      info.storedRow = r;
      break;
    }
  }
  if (optionIndex >= 0) {
    if (optionIndex >= rowCount) throw std::runtime_error("The currently selected option is invalid.\n");
    info.selectedRow = optionIndex;
    info.explicitOption = optionIndex != info.storedRow;
  } else {
    info.selectedRow = info.storedRow;
  }

  const TraceTypeRow& row = rows[static_cast<std::size_t>(info.selectedRow)];
  info.optionKey = row.optionKey ? row.optionKey : "";
  info.valueName = firstWord + " " + info.optionKey;
  info.yLabel = row.yLabel;
  info.unitCode = row.unitCode;
  info.shortName = row.shortName;
  return info;
}

TraceInfo lookupTraceType(const datastore::DataStore& store, int valueIndex, int optionIndex) {
  return lookupTraceType(store.propertyName(valueIndex, false), optionIndex);
}

fitting::UnitConversion TraceInfo::conversion() const {
  fitting::UnitConversion result;
  if (!explicitOption || !list) return result;
  result.active = true;
  result.toBase = list->rows[static_cast<std::size_t>(storedRow)].toBase;
  result.fromBase = list->rows[static_cast<std::size_t>(selectedRow)].fromBase;
  return result;
}

double TraceInfo::Transform(double value) const { return fitting::Convert(conversion(), value); }

bool defaultRange(int unitCode, double& low, double& high) {
  switch (unitCode) {
    case 0:
    case 3: low = -1000; high = 1000; return true;
    case 1: low = -0.1; high = 0.1; return true;
    case 2: low = -1000000; high = 1000000; return true;
    case 7: low = 0; high = 5; return true;
    case 8:
    case 12: low = 0; high = 100; return true;
    case 9:
    case 17: low = 0; high = 10; return true;
    case 10: low = 0; high = 8; return true;
    case 11: low = -0.333; high = 0.5; return true;
    case 13: low = 0; high = 100000; return true;
    case 14: low = 0; high = 1000; return true;
    default: return false;
  }
}

}  // namespace lumatix::processing
