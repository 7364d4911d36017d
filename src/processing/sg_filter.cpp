// Savitzky-Golay coefficients and the smoothing filter.

#include "processing/sg_filter.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>

#include "datastore/diagnostics.h"

namespace lumatix::processing {
namespace {

constexpr int kInitialSpan = 50;

// Every failure of the numerical routines leaves through here, so that the diagnostic
// stream shows it even when a caller turns the exception into a plain false.
[[noreturn]] void nrerror(const std::string& text) {
  datastore::diagnostics() << "Numerical Recipes run-time error...\n" << text << "\n";
  throw std::runtime_error(text);
}

template <class T>
std::vector<T> allocate(std::size_t size, const char* failure) {
  try {
    return std::vector<T>(size);
  } catch (const std::bad_alloc&) {
    nrerror(failure);
  } catch (const std::length_error&) {
    nrerror(failure);
  }
}

std::vector<std::vector<double>> allocateMatrix(std::size_t rows, std::size_t columns) {
  std::vector<std::vector<double>> a;
  try {
    a.resize(rows);
  } catch (const std::exception&) {
    nrerror("allocation failure 1 in matrix()");
  }
  try {
    for (auto& row : a) row.resize(columns);
  } catch (const std::exception&) {
    nrerror("allocation failure 2 in matrix()");
  }
  return a;
}

}  // namespace

void ludcmp(std::vector<std::vector<double>>& a, int n, std::vector<int>& indx, double& d) {
  constexpr double kTiny = 1.0e-20;
  std::vector<double> vv = allocate<double>(static_cast<std::size_t>(n) + 1, "allocation failure in dvector()");
  d = 1.0;
  for (int i = 1; i <= n; ++i) {
    double big = 0.0;
    for (int j = 1; j <= n; ++j) big = std::max(big, std::fabs(a[i][j]));
    if (big == 0.0) nrerror("Singular matrix in routine ludcmp");
    vv[i] = 1.0 / big;
  }
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i < j; ++i) {
      double sum = a[i][j];
      for (int k = 1; k < i; ++k) sum -= a[i][k] * a[k][j];
      a[i][j] = sum;
    }
    double big = 0.0;
    int imax = j;
    for (int i = j; i <= n; ++i) {
      double sum = a[i][j];
      for (int k = 1; k < j; ++k) sum -= a[i][k] * a[k][j];
      a[i][j] = sum;
      const double dum = vv[i] * std::fabs(sum);
      if (dum >= big) {
        big = dum;
        imax = i;
      }
    }
    if (j != imax) {
      std::swap(a[imax], a[j]);
      d = -d;
      vv[imax] = vv[j];
    }
    indx[j] = imax;
    if (a[j][j] == 0.0) a[j][j] = kTiny;
    if (j != n) {
      const double dum = 1.0 / a[j][j];
      for (int i = j + 1; i <= n; ++i) a[i][j] *= dum;
    }
  }
}

void lubksb(const std::vector<std::vector<double>>& a, int n, const std::vector<int>& indx, std::vector<double>& b) {
  int ii = 0;
  for (int i = 1; i <= n; ++i) {
    const int ip = indx[i];
    double sum = b[ip];
    b[ip] = b[i];
    if (ii) {
      for (int j = ii; j <= i - 1; ++j) sum -= a[i][j] * b[j];
    } else if (sum != 0.0) {
      ii = i;
    }
    b[i] = sum;
  }
  for (int i = n; i >= 1; --i) {
    double sum = b[i];
    for (int j = i + 1; j <= n; ++j) sum -= a[i][j] * b[j];
    b[i] = sum / a[i][i];
  }
}

void savgol(std::vector<float>& c, int np, int nl, int nr, int ld, int m) {
  if (np < nl + nr + 1 || nl < 0 || nr < 0 || ld > m || nl + nr < m) nrerror("bad args in savgol");
  const auto size = static_cast<std::size_t>(m) + 2;
  std::vector<int> indx = allocate<int>(size, "allocation failure in ivector()");
  std::vector<std::vector<double>> a = allocateMatrix(size, size);
  std::vector<double> b = allocate<double>(size, "allocation failure in vector()");

  // Sums of k^p over the window for p = 0 .. 2m. Integer powers by repeated products are
  // exact here (the largest, 1000^4, is far below 2^53) and much cheaper than pow.
  std::vector<double> moments = allocate<double>(2 * static_cast<std::size_t>(m) + 1, "allocation failure in vector()");
  for (int k = -nl; k <= nr; ++k) {
    double power = 1.0;
    for (int p = 0; p <= 2 * m; ++p) {
      moments[static_cast<std::size_t>(p)] += power;
      power *= k;
    }
  }
  for (int ipj = 0; ipj <= 2 * m; ++ipj) {
    const int mm = std::min(ipj, 2 * m - ipj);
    for (int imj = -mm; imj <= mm; imj += 2)
      a[static_cast<std::size_t>(1 + (ipj + imj) / 2)][static_cast<std::size_t>(1 + (ipj - imj) / 2)] =
          moments[static_cast<std::size_t>(ipj)];
  }
  double d = 0.0;
  ludcmp(a, m + 1, indx, d);
  b[static_cast<std::size_t>(ld) + 1] = 1.0;
  lubksb(a, m + 1, indx, b);

  c.assign(static_cast<std::size_t>(np) + 1, 0.0f);
  for (int k = -nl; k <= nr; ++k) {
    double sum = b[1];
    double fac = 1.0;
    for (int mm = 1; mm <= m; ++mm) sum += b[static_cast<std::size_t>(mm) + 1] * (fac *= k);
    const int kk = ((np - k) % np) + 1;
    c[static_cast<std::size_t>(kk)] = static_cast<float>(sum);
  }
}

CSGFilter::CSGFilter(int window, int order)
    : order_(order), window_(OddRounded(window)), maxWindow_(minWindow_ + kInitialSpan) {
  for (int np = minWindow_; np <= maxWindow_; np += 2) {
    SGCoefficients c;
    savgol(c, np, np / 2, np / 2, 0, order);
    coefficients_.emplace(np, std::move(c));
  }
  ready_ = true;
}

bool CSGFilter::grow(int upTo, int order) {
  const int last = coefficients_.empty() ? minWindow_ - 2 : coefficients_.rbegin()->first;
  for (int np = last + 2; np <= upTo; np += 2) {
    SGCoefficients c;
    try {
      savgol(c, np, np / 2, np / 2, 0, order);
    } catch (const std::exception&) {
      return false;
    }
    coefficients_.emplace(np, std::move(c));
  }
  return true;
}

bool CSGFilter::SetWindow(int length, int order) {
  if (length < minWindow_) return false;
  if (length > maxWindow_) {
    // The largest odd length an int holds; beyond it the rounding would overflow.
    if (length == std::numeric_limits<int>::max()) return false;
    order_ = order;
    previousWindow_ = window_;
    maxWindow_ = window_ = OddRounded(length);
    return grow(maxWindow_, order);
  }
  window_ = OddRounded(length);
  return true;
}

const SGCoefficients* CSGFilter::Coefficients(int length) const {
  const auto found = coefficients_.find(length);
  return found == coefficients_.end() ? nullptr : &found->second;
}

bool CSGFilter::FilterPoint(const std::vector<float>& trace, int i, float& out) const {
  const int n = static_cast<int>(trace.size());
  if (i < 0 || i >= n) return false;
  if (i == 0 || i == n - 1) {
    out = trace[static_cast<std::size_t>(i)];
    return true;
  }
  // The window shrinks symmetrically near both ends; taking the smallest of the three keeps
  // it inside a trace shorter than the window as well.
  const int length = std::min({window_, 2 * i + 1, 2 * (n - i) - 1});
  const SGCoefficients* c = Coefficients(length);
  if (!c) return false;
  const int m = length / 2;
  const float* x = trace.data() + i;
  float sum = 0.0f;
  for (int k = 1; k <= m + 1; ++k) sum += (*c)[static_cast<std::size_t>(k)] * x[-(k - 1)];
  for (int k = m + 2; k <= length; ++k) sum += (*c)[static_cast<std::size_t>(k)] * x[length + 1 - k];
  out = sum;
  return true;
}

bool CSGFilter::Filter(const std::vector<float>& input, std::vector<float>& output) const {
  const int n = static_cast<int>(input.size());
  output.resize(input.size());
  const int half = window_ / 2;
  const SGCoefficients* c = Coefficients(window_);
  // Points whose full window lies inside the trace are summed in blocks: for each
  // coefficient in turn, across a block of points. Every point still adds its terms in the
  // order FilterPoint does, so both give the same floats, but the inner loop vectorises.
  const int interiorBegin = std::max(1, half);
  const int interiorEnd = std::min(n - 1, n - half);
  if (c == nullptr || interiorEnd <= interiorBegin) {
    for (int i = 0; i < n; ++i)
      if (!FilterPoint(input, i, output[static_cast<std::size_t>(i)])) return false;
    return true;
  }
  for (int i = 0; i < interiorBegin; ++i)
    if (!FilterPoint(input, i, output[static_cast<std::size_t>(i)])) return false;

  const int length = window_;
  std::vector<int> offsets(static_cast<std::size_t>(length) + 1);
  for (int k = 1; k <= half + 1; ++k) offsets[static_cast<std::size_t>(k)] = -(k - 1);
  for (int k = half + 2; k <= length; ++k) offsets[static_cast<std::size_t>(k)] = length + 1 - k;

  constexpr int kBlock = 512;
  alignas(64) float acc[kBlock];
  const float* in = input.data();
  for (int start = interiorBegin; start < interiorEnd; start += kBlock) {
    const int count = std::min(kBlock, interiorEnd - start);
    std::fill(acc, acc + count, 0.0f);
    // Four coefficients per pass over the block keep the running sums in registers; the
    // additions still come one after another, in coefficient order.
    int k = 1;
    for (; k + 3 <= length; k += 4) {
      const auto ku = static_cast<std::size_t>(k);
      const float w0 = (*c)[ku], w1 = (*c)[ku + 1], w2 = (*c)[ku + 2], w3 = (*c)[ku + 3];
      const float* x0 = in + start + offsets[ku];
      const float* x1 = in + start + offsets[ku + 1];
      const float* x2 = in + start + offsets[ku + 2];
      const float* x3 = in + start + offsets[ku + 3];
      for (int b = 0; b < count; ++b) acc[b] = (((acc[b] + w0 * x0[b]) + w1 * x1[b]) + w2 * x2[b]) + w3 * x3[b];
    }
    for (; k <= length; ++k) {
      const float weight = (*c)[static_cast<std::size_t>(k)];
      const float* x = in + start + offsets[static_cast<std::size_t>(k)];
      for (int b = 0; b < count; ++b) acc[b] += weight * x[b];
    }
    std::copy(acc, acc + count, output.begin() + start);
  }

  for (int i = interiorEnd; i < n; ++i)
    if (!FilterPoint(input, i, output[static_cast<std::size_t>(i)])) return false;
  return true;
}

}  // namespace lumatix::processing
