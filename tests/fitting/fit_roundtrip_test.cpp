#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "fit_test_support.h"
#include "fitting/fit_funx.h"
#include "fitting/marquardx.h"

// Counts heap allocations while a test asks for it: the engine promises none per step.
namespace {
std::atomic<bool> countingAllocations{false};
std::atomic<long> allocationCount{0};
}  // namespace

void* operator new(std::size_t size) {
  if (countingAllocations.load(std::memory_order_relaxed)) allocationCount.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// The library's temporary buffers (std::stable_sort) come from the nothrow form and go back
// through the plain delete below: both must be malloc's.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (countingAllocations.load(std::memory_order_relaxed)) allocationCount.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size == 0 ? 1 : size);
}
// These replace the global pair, so free() matches the malloc() above; optimising builds of
// GCC see a free() of what looks to them like new's memory and warn.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace lumatix::fitting {
namespace {

struct RoundTrip {
  const char* name;
  int index;
  std::vector<double> truth;
  double from, to;
  int points;
  std::vector<double> start;  // empty: the function's own estimate
  std::vector<std::int32_t> locks;
};

class FitsItsOwnData : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(FitsItsOwnData, BackToTheTrueParameters) {
  const RoundTrip& c = GetParam();
  const FitFunction& f = FitFunx().at(static_cast<std::size_t>(c.index));
  const test::Trace trace = test::synthetic(f, c.truth, test::evenly(c.from, c.to, c.points));
  test::CapturedDiagnostics notes;
  std::vector<std::int32_t> locks = c.locks;
  locks.resize(c.truth.size(), 0);
  Marquardx fitter = c.start.empty() ? Marquardx(trace.x, trace.y, f) : Marquardx(trace.x, trace.y, f, locks, c.start);
  ASSERT_TRUE(fitter.Start());
  for (int i = 0; i < 300; ++i) ASSERT_TRUE(fitter.Step()) << "step " << i;
  const auto fitted = fitter.GetParameters();
  for (std::size_t j = 0; j < fitted.size(); ++j)
    EXPECT_NEAR(fitted[j], c.truth[j], 1e-6 * std::max(1.0, std::fabs(c.truth[j])))
        << f.name << ": " << f.parameterNames[j];
}

INSTANTIATE_TEST_SUITE_P(
    EveryFunction, FitsItsOwnData,
    ::testing::Values(
        RoundTrip{"Linear", 0, {2, 1}, -5, 5, 50, {}, {}},
        RoundTrip{"SingleExponential", 1, {1, 10, 0.05}, 0, 100, 200, {}, {}},
        RoundTrip{"SingleExponentialSlope", 2, {1, 5, 0.1, 0.02}, 0, 100, 200, {}, {}},
        RoundTrip{"DoubleExponential", 3, {0.5, 3, 1, 2, 0.1}, 0, 50, 500, {}, {}},
        RoundTrip{"TripleExponential", 4, {0.2, 2, 5, 1.5, 0.5, 1, 0.05}, 0, 100, 2000, {}, {}},
        RoundTrip{"QuadrupleExponential", 5, {0.1, 1, 2, 1, 0.5, 1, 0.1, 1, 0.02}, 0, 300, 3000,
                  {0.12, 1.1, 1.8, 0.9, 0.55, 1.1, 0.09, 0.9, 0.021}, {}},
        RoundTrip{"InvertedExponential", 6, {1, 4, 0.2}, 0, 50, 200, {}, {}},
        RoundTrip{"StretchedExponential", 7, {0.5, 3, 0.3, 0.7}, 0, 30, 300, {}, {}},
        // The estimate suits a falling a/(k + x); the model is a.x/(k + x), so start near the truth.
        RoundTrip{"Hyperbolic", 8, {5, 2, 1}, 0, 20, 200, {4, 2.5, 1.2}, {}},
        RoundTrip{"SecondOrder", 9, {0.5, 2, 1, 1}, 0, 10, 200, {0.4, 2.2, 0.9, 1.1}, {}},
        RoundTrip{"SingleGaussian", 10, {5, 2, 10, 1}, 0, 20, 201, {}, {}},
        RoundTrip{"OneGaussian", 11, {5, 2, 10, 1}, 0, 20, 201, {}, {}},
        RoundTrip{"TwoGaussians", 12, {3, 2, 1.5, 2, 8, 14, 0.5}, 0, 20, 400, {2.5, 2.5, 1.2, 1.8, 7.5, 14.5, 0.4}, {}},
        RoundTrip{"ThreeGaussians", 13, {3, 2, 1, 1.5, 2, 1, 5, 10, 15, 0.5}, 0, 20, 400,
                  {2.8, 2.2, 1.1, 1.4, 2.1, 0.9, 5.2, 9.8, 15.1, 0.45}, {}},
        RoundTrip{"PhTitration", 14, {1, 3, 7}, 4, 10, 121, {}, {}},
        RoundTrip{"Sigmoid", 15, {1, 5, 50, 5}, 0, 100, 200, {}, {}},
        // n and x0 trade against each other (n.exp(x0/w)); n is held at its true value.
        RoundTrip{"Sigmoid2", 16, {1, 5, 50, 5, 1.5}, 0, 100, 200, {1.2, 4.8, 45, 4, 1.5}, {0, 0, 0, 0, 1}},
        RoundTrip{"SigmoidSlope", 17, {1, 5, 50, 5, 0.01}, 0, 100, 200, {}, {}},
        RoundTrip{"DoubleSigmoid", 18, {1, 3, 6, 30, 70, 4, 5}, 0, 100, 400, {}, {}}),
    [](const ::testing::TestParamInfo<RoundTrip>& row) { return std::string(row.param.name); });

// Double Exponential has a batch routine, Sigmoid curve only its model routine.
TEST(Marquardx, StepsAllocateNothing) {
  const std::vector<std::pair<std::size_t, std::vector<double>>> cases{{3, {0.5, 3, 1, 2, 0.1}}, {15, {1, 5, 20, 4}}};
  for (const auto& [index, truth] : cases) {
    const FitFunction& f = FitFunx()[index];
    SCOPED_TRACE(f.name);
    const test::Trace trace = test::synthetic(f, truth, test::evenly(0, 50, 500), 0.01);
    test::CapturedDiagnostics notes;
    Marquardx fitter(trace.x, trace.y, f);
    allocationCount = 0;
    countingAllocations = true;
    bool ok = fitter.Start();
    for (int i = 0; i < 20; ++i) ok = fitter.Step() && ok;
    fitter.SetSigma(fitter.SignalNoise());
    const double reduced = fitter.Finish();
    const bool step = fitter.Step();
    countingAllocations = false;
    EXPECT_TRUE(ok);
    EXPECT_TRUE(step);
    EXPECT_GT(reduced, 0.0);
    EXPECT_EQ(allocationCount.load(), 0);
  }
}

}  // namespace
}  // namespace lumatix::fitting
