#include "datastore/external_names.h"

#include <gtest/gtest.h>

namespace lumatix::datastore {
namespace {

TEST(ExternalNamesTest, WritesTheQvlNames) {
  const std::pair<const char*, const char*> cases[] = {{"CircularDichroism", "CD"},
                                                       {"Wavelength", "Wavelength (nm)"},
                                                       {"Absorbance", "Rel.Absorbance"},
                                                       {"Fluorescence", "Emission"},
                                                       {"Time", "Time (seconds)"},
                                                       {"Temperature", "Temperature"},
                                                       {"CircularDichroism -me", "CircularDichroism -me"}};
  for (auto [internal, external] : cases) EXPECT_EQ(externalNameForWriting(internal), external) << internal;
}

TEST(ExternalNamesTest, ReadsTheQvlNames) {
  const std::pair<const char*, const char*> cases[] = {{"CD", "CircularDichroism"},
                                                       {"Rel.Absorbance", "Absorbance"},
                                                       {"Emission", "Fluorescence"},
                                                       {"Wavelength (nm)", "Wavelength"},
                                                       {"Time (seconds)", "Time (seconds)"},
                                                       {"cd", "cd"}};
  for (auto [external, internal] : cases) EXPECT_EQ(internalNameForReading(external), internal) << external;
}

}  // namespace
}  // namespace lumatix::datastore
