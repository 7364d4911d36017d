#pragma once
// Savitzky-Golay smoothing: the coefficient table of every odd window length, the filter
// that applies it with windows shrinking symmetrically towards both ends of a trace, and the
// least-squares routines that compute the coefficients.

#include <map>
#include <vector>

namespace lumatix::processing {

// Coefficients of one window of np = 2m + 1 points, counted from 1: element 1 weighs the
// centre point, elements 2 .. m + 1 the points 1 .. m to the left, elements m + 2 .. np the
// points m .. 1 to the right (the rightmost point first). Element 0 is unused.
using SGCoefficients = std::vector<float>;

class CSGFilter {
 public:
  // Builds the coefficients of every odd length 3 .. 53 with the given order; window is
  // rounded up to odd. Throws the message of savgol when they cannot be computed.
  CSGFilter(int window, int order);
  virtual ~CSGFilter() = default;

  // False when length is below the smallest window. A length beyond the table grows it to
  // that length (odd-rounded) with coefficients of the given order; false when that fails
  // (the lengths computed so far stay). Otherwise the odd-rounded length becomes the window
  // and order is not used.
  virtual bool SetWindow(int length, int order);
  // Point i of trace, smoothed with the window shrunk near the ends so that it stays inside
  // the trace; the first and last points are kept. False when i is outside the trace or the
  // coefficients of the local length are missing.
  virtual bool FilterPoint(const std::vector<float>& trace, int i, float& out) const;
  // Every point in order into output (resized to the input). False at the first point that
  // cannot be filtered.
  virtual bool Filter(const std::vector<float>& input, std::vector<float>& output) const;

  int Window() const { return window_; }
  int MaxWindow() const { return maxWindow_; }
  int MinWindow() const { return minWindow_; }
  int PreviousWindow() const { return previousWindow_; }
  bool Ready() const { return ready_; }
  // The coefficients of an odd length, or nullptr when the table does not hold it.
  const SGCoefficients* Coefficients(int length) const;

  // w becomes 2 * (w / 2) + 1: an even length is raised by one.
  static int OddRounded(int length) { return 2 * (length / 2) + 1; }

 private:
  bool grow(int upTo, int order);

  int order_ = 2;
  int previousWindow_ = 0;
  int window_ = 3;
  bool ready_ = false;
  int minWindow_ = 3;
  int maxWindow_ = 3;
  std::map<int, SGCoefficients> coefficients_;
};

// Savitzky-Golay coefficients into c[1 .. np] for nl points to the left, nr to the right,
// derivative ld and polynomial order m, in the layout above (offset k at 1 + (-k mod np)).
// Throws std::runtime_error("bad args in savgol") for impossible arguments, the messages of
// ludcmp and the allocation messages, after writing "Numerical Recipes run-time error...\n"
// and the message to the diagnostic stream.
void savgol(std::vector<float>& c, int np, int nl, int nr, int ld, int m);

// LU decomposition in place of the n x n matrix a (rows and columns counted from 1) with
// partial pivoting; indx receives the row permutation, d its parity. Throws
// "Singular matrix in routine ludcmp" for a zero pivot row.
void ludcmp(std::vector<std::vector<double>>& a, int n, std::vector<int>& indx, double& d);
// Solves a x = b in place of b (counted from 1) with the decomposition of ludcmp.
void lubksb(const std::vector<std::vector<double>>& a, int n, const std::vector<int>& indx, std::vector<double>& b);

}  // namespace lumatix::processing
