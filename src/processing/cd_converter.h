#pragma once
// Circular-dichroism units: their keys and names, the factor that turns data measured in
// delta A or millidegrees into another unit, and which data can no longer be converted.

#include <cstdint>
#include <string>
#include <vector>

namespace lumatix::processing {

struct CDUnit {
  const char* key;           // "deltaa", "mdeg", "mcd", "me", "mre", "mrmcd", "mrme"
  const char* displayName;   // "delta A", ... as the conversion dialog lists it
  const char* shortLabel;    // "DA", "EL", ...
  const char* optionSuffix;  // trace-type option after conversion, "" for millidegrees
};

// The seven units in the order of the table above.
const std::vector<CDUnit>& cdUnits();
// The unit with this key or this display name, or nullptr.
const CDUnit* cdUnitByKey(const std::string& key);
const CDUnit* cdUnitByDisplayName(const std::string& name);

// The delta A to millidegree constant and its stored reciprocal.
inline constexpr double kDeltaAToMdeg = 32982.102;
inline constexpr double kMdegToDeltaA = 3.031947448346379e-05;

class CConverter {
 public:
  enum Parameter : std::uint32_t {
    kMassConcentration = 1,
    kPathLength = 2,
    kMolarConcentration = 4,
    kResidueWeight = 8,
    kResidues = 16
  };
  enum Result { kFactorComputed = 0, kParameterMissing = 1, kUnknownConversion = 2 };

  virtual ~CConverter() = default;

  void SetPathLength(double cm);
  void SetMassConcentration(double mgPerMl);
  void SetMolarConcentration(double molPerL);
  void SetResidueWeight(double gPerMol);
  void SetResidues(int count);

  // The factor of a conversion named source key + "2" + target key ("mdeg2me"): 0 and the
  // factor written, 1 when a parameter it needs was not set, 2 for an unknown name (factor
  // untouched in both).
  int GetFactor(const std::string& conversion, double& factor) const;

  std::uint32_t Supplied() const { return supplied_; }

 private:
  std::uint32_t supplied_ = 0;
  double pathLength_ = 0.0;
  double massConcentration_ = 0.0;
  double molarConcentration_ = 0.0;
  double residueWeight_ = 0.0;
  int residues_ = 0;
};

// Whether a conversion needs the molar concentration (and path length), or the mass
// concentration, mean residue weight and path length.
bool isMolarConversion(const std::string& conversion);
bool isMeanResidueWeightConversion(const std::string& conversion);

// The refusal for data already in a unit that cannot be converted further, tested in the
// order the viewer tests it, or "" when the value name allows conversion.
std::string cdConversionRefusal(const std::string& valueName);

// The unit a CD value name is in for conversion: "deltaa" or "mdeg".
std::string cdSourceKey(const std::string& valueName);

}  // namespace lumatix::processing
