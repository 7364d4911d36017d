// Random stores through every format that can be read back: each writer either refuses the
// store, writing nothing, or writes a file that loads. The store formats give back the same
// shape and values (exact for the binary ones, to the six digits LumatixStore keeps); the
// exchange formats hold one trace or one property of it, so every value they give back
// must be one of the store's.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>

#include "datastore/data_store.h"
#include "datastore/history_entry.h"
#include "datastore/text_number.h"
#include "export/dispatcher.h"
#include "export_test_support.h"
#include "support/fixed_providers.h"
#include "support/temp_dir.h"

namespace lumatix::exports {
namespace {

using datastore::DataStore;
using datastore::Dimension;

struct Format {
  const char* name;
  bool exact;  // binary: every bit comes back; text: six significant digits
  bool whole;  // the whole store comes back, not only a part of it
};

constexpr Format kReadable[] = {{"LumBinaryX", true, true},
                                {"LumBinary", true, true},
                                {"LumatixStore", false, true},
                                {"QVL-ASCII-SPECTRAKINETIC", false, false},
                                {"QVL-ASCII", false, false},
                                {"JCAMP-DX 5.0", false, false}};

class RandomStores {
 public:
  explicit RandomStores(unsigned seed) : random_(seed) {}

  DataStore next() {
    DataStore store(true);
    store.title = word() + " " + word();
    const int dimensions = pick(1, 3);
    const char* names[] = {"Wavelength", "Temperature", "Time", "Repeat"};
    for (int d = 0; d < dimensions; ++d) {
      std::vector<float> values;
      const int n = pick(1, d == 0 ? 40 : 4);
      float v = number();
      for (int i = 0; i < n; ++i) values.push_back(v += std::abs(number()) + 0.5f);
      if (pick(0, 1) == 1) std::reverse(values.begin(), values.end());
      store.dimensions.push_back(Dimension(names[d], values));
    }
    const int properties = pick(1, 2);
    const char* propertyNames[] = {"CircularDichroism", "HT"};
    for (int p = 0; p < properties; ++p) store.properties.push_back(propertyNames[p]);
    store.initialise();
    for (std::int32_t i = 0; i < store.data.count; ++i) store.data.data[i] = number();
    store.computeRange();
    for (int r = pick(0, 3); r > 0; --r) store.remarks.push_back(word());
    for (int h = pick(0, 3); h > 0; --h) store.addHistory(datastore::makeHistoryEntry(word(), word() + "\r\n"));
    return store;
  }

 private:
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
  // Ordinary values with now and then an extreme one that a text form must still carry.
  float number() {
    switch (pick(0, 9)) {
      case 0:
        return 0.0f;
      case 1:
        return std::numeric_limits<float>::min() * static_cast<float>(pick(1, 9));
      case 2:
        return 3.0e38f / static_cast<float>(pick(1, 9));
      default:
        return std::uniform_real_distribution<float>(-1000.0f, 1000.0f)(random_);
    }
  }
  std::string word() {
    static const char* words[] = {"melt", "a b", "x=1", "50%", "mdeg", "t;c", "\"q\"", "end"};
    return words[pick(0, 7)];
  }
  std::mt19937 random_;
};

std::string shape(const DataStore& store) {
  std::string text;
  for (const auto& d : store.dimensions) text += std::to_string(d.size()) + " ";
  return text + "points, " + std::to_string(store.properties.size()) + " properties";
}

// The start of a file, for the message of a failed check.
std::string head(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text(2000, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

bool same(float a, float b, bool exact) {
  if (exact) return std::memcmp(&a, &b, sizeof a) == 0;
  return datastore::text::floatText(a) == datastore::text::floatText(b);
}

TEST(RoundTripProperty, EveryReadableFormatWritesWhatReadsBackOrRefusesAndWritesNothing) {
  ::lumatix::testing::FixedProviders providers;
  ::lumatix::testing::TempDir dir;
  RandomStores stores(20261207);
  int written = 0;
  for (int round = 0; round < 60; ++round) {
    const DataStore original = stores.next();
    for (const Format& format : kReadable) {
      SCOPED_TRACE(std::string(format.name) + ", store " + std::to_string(round));
      DataStore store = original;
      ::lumatix::testing::RecordingReporter reporter;
      const std::string path = dir.file("r" + std::to_string(round) + "-" + std::to_string(written));
      // A writer refuses with a reported message, or with an exception carrying it.
      bool saved = false;
      std::string refusal;
      try {
        saved = writeStore(store, format.name, path, reporter);
        if (!reporter.errors.empty()) refusal = reporter.errors[0];
      } catch (const std::runtime_error& error) {
        refusal = error.what();
      }
      if (!saved) {
        EXPECT_FALSE(std::filesystem::exists(path)) << "a refused store left a file";
        EXPECT_FALSE(refusal.empty()) << "refused without a reason";
        continue;
      }
      ++written;
      DataStore back(true);
      ASSERT_TRUE(back.load(path, false)) << "the written file does not load:\n" << head(path) << "\nshape " << shape(original);
      if (!format.whole) {
        // The exchange formats write scaled or short numbers; a value that comes back must lie
        // within that rounding of one the store holds.
        std::vector<float> values(original.data.data, original.data.data + original.data.count);
        std::sort(values.begin(), values.end());
        const double tolerance = 1e-5 * std::max(std::fabs(values.front()), std::fabs(values.back()));
        ASSERT_GT(back.data.count, 0);
        for (std::int32_t i = 0; i < back.data.count; ++i) {
          const float v = back.data.data[i];
          const auto above = std::lower_bound(values.begin(), values.end(), v);
          double nearest = std::numeric_limits<double>::infinity();
          if (above != values.end()) nearest = std::fabs(static_cast<double>(*above) - v);
          if (above != values.begin()) nearest = std::min(nearest, std::fabs(static_cast<double>(*(above - 1)) - v));
          ASSERT_LE(nearest, tolerance) << "value " << i << " came back as " << v << ", which the store does not hold";
        }
        continue;
      }
      ASSERT_EQ(back.dimensions.size(), original.dimensions.size());
      ASSERT_EQ(back.properties.size(), original.properties.size());
      for (std::int32_t d = 0; d < original.dimensions.size(); ++d) {
        const auto& a = original.dimensions[d].values;
        const auto& b = back.dimensions[d].values;
        EXPECT_EQ(back.dimensions[d].name, original.dimensions[d].name);
        ASSERT_EQ(a.size(), b.size()) << "dimension " << d;
        for (std::int32_t i = 0; i < a.size(); ++i) ASSERT_TRUE(same(a[i], b[i], format.exact)) << a[i] << " " << b[i];
      }
      ASSERT_EQ(back.data.count, original.data.count);
      for (std::int32_t i = 0; i < original.data.count; ++i)
        ASSERT_TRUE(same(original.data.data[i], back.data.data[i], format.exact))
            << "value " << i << ": " << original.data.data[i] << " came back as " << back.data.data[i];
      EXPECT_EQ(back.remarks.size(), original.remarks.size());
    }
  }
  // The stores are small and ordinary: most of them must be written, not refused.
  EXPECT_GT(written, 60 * 3);
}

}  // namespace
}  // namespace lumatix::exports
