// CD unit factors and CDataSet::ConvertCD.

#include "processing/cd_converter.h"

#include <stdexcept>

#include "datastore/data_store.h"
#include "processing/data_set.h"

namespace lumatix::processing {

const std::vector<CDUnit>& cdUnits() {
  static const std::vector<CDUnit> units{
      {"deltaa", "delta A", "DA", "-deltaa"},
      {"mdeg", "mdeg", "EL", ""},
      {"mcd", "delta epsilon", "DE", "-mcd"},
      {"me", "molar ellipticity", "ME", "-me"},
      {"mre", "mean residue ellipticity", "MRE", "-mre"},
      {"mrmcd", "mean residue delta epsilon", "MRDE", "-mrmcd"},
      {"mrme", "mean residue molar ellipticity", "MRME", "-mrme"},
  };
  return units;
}

const CDUnit* cdUnitByKey(const std::string& key) {
  for (const auto& unit : cdUnits())
    if (key == unit.key) return &unit;
  return nullptr;
}

const CDUnit* cdUnitByDisplayName(const std::string& name) {
  for (const auto& unit : cdUnits())
    if (name == unit.displayName) return &unit;
  return nullptr;
}

void CConverter::SetPathLength(double cm) {
  pathLength_ = cm;
  supplied_ |= kPathLength;
}
void CConverter::SetMassConcentration(double mgPerMl) {
  massConcentration_ = mgPerMl;
  supplied_ |= kMassConcentration;
}
void CConverter::SetMolarConcentration(double molPerL) {
  molarConcentration_ = molPerL;
  supplied_ |= kMolarConcentration;
}
void CConverter::SetResidueWeight(double gPerMol) {
  residueWeight_ = gPerMol;
  supplied_ |= kResidueWeight;
}
void CConverter::SetResidues(int count) {
  residues_ = count;
  supplied_ |= kResidues;
}

int CConverter::GetFactor(const std::string& conversion, double& factor) const {
  const double l = pathLength_, c = massConcentration_, M = molarConcentration_, W = residueWeight_;
  const double n = residues_;
  struct Row {
    const char* name;
    std::uint32_t needs;
    double value;
  };
  const std::uint32_t lM = kPathLength | kMolarConcentration;
  const std::uint32_t lMn = lM | kResidues;
  const std::uint32_t lcW = kPathLength | kMassConcentration | kResidueWeight;
  // Every factor is evaluated up front; only the one asked for is ever handed out, and a
  // division by an unset (zero) parameter gives an infinity nobody sees.
  const Row rows[] = {
      {"deltaa2mdeg", 0, kDeltaAToMdeg},
      {"mdeg2deltaa", 0, kMdegToDeltaA},
      {"deltaa2mcd", lM, 1 / (M * l)},
      {"deltaa2me", lM, kDeltaAToMdeg / (M * 10 * l)},
      {"deltaa2mre", lMn, kDeltaAToMdeg / (l * 10 * M * n)},
      {"deltaa2mrmcd", lcW, 1 / ((c / W) * l)},
      {"deltaa2mrme", lcW, kDeltaAToMdeg / ((c / W) * 10 * l)},
      {"mdeg2mcd", lM, 1 / (M * kDeltaAToMdeg * l)},
      {"mdeg2me", lM, 1 / (M * 10 * l)},
      {"mdeg2mre", lMn, 1 / (n * (M * 10) * l)},
      {"mdeg2mrmcd", lcW, 1 / ((c / W) * kDeltaAToMdeg * l)},
      {"mdeg2mrme", lcW, 1 / ((c / W) * 10 * l)},
  };
  for (const Row& row : rows) {
    if (conversion != row.name) continue;
    if ((supplied_ & row.needs) != row.needs) return kParameterMissing;
    factor = row.value;
    return kFactorComputed;
  }
  return kUnknownConversion;
}

bool isMolarConversion(const std::string& conversion) {
  return conversion == "deltaa2mcd" || conversion == "deltaa2me" || conversion == "mdeg2mcd" || conversion == "mdeg2me";
}

bool isMeanResidueWeightConversion(const std::string& conversion) {
  return conversion == "deltaa2mrmcd" || conversion == "deltaa2mrme" || conversion == "mdeg2mrmcd" ||
         conversion == "mdeg2mrme";
}

std::string cdConversionRefusal(const std::string& valueName) {
  const auto has = [&](const char* key) { return valueName.find(key) != std::string::npos; };
  if (has("-me")) return "Sorry! Cannot convert CD units from Molar Ellipticity.\n";
  if (has("mrme")) return "Sorry! Cannot convert CD units from Mean Residue Molar Ellipticity.\n";
  if (has("mre")) return "Sorry! Cannot convert CD units from Mean Residue Ellipticity.\n";
  if (has("mrmcd")) return "Sorry! Cannot convert CD units from Mean Residue Molar Delta A.\n";
  if (has("mcd")) return "Sorry! Cannot convert CD units from Molar Delta A.\n";
  return "";
}

std::string cdSourceKey(const std::string& valueName) {
  return valueName.find("deltaa") != std::string::npos ? "deltaa" : "mdeg";
}

CDataSet CDataSet::ConvertCD(const std::vector<int>& selection, double factor, const std::string& targetKey) const {
  const CDUnit* unit = cdUnitByKey(targetKey);
  if (!unit) throw std::invalid_argument("Unknown CD unit: " + targetKey);
  const std::unique_ptr<datastore::DataStore> store = ToDataStore(selection);
  CDataSet converted;
  converted.Load(*store, 0, TraceCount() >= 2 ? 1 : -1, 0, -1);
  // Segment B holds points measured after the view was saved; they are in the same unit as
  // the rest and are converted with them.
  for (auto* rows : {&converted.yA, &converted.yB})
    for (auto& row : *rows)
      for (float& v : row.edit()) v = static_cast<float>(v * factor);
  converted.valueName = std::string("CircularDichroism") + (*unit->optionSuffix ? " " : "") + unit->optionSuffix;
  return converted;
}

}  // namespace lumatix::processing
