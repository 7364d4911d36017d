#pragma once
// TwoDPoint and the 3x3 transforms that carry data co-ordinates to the canvas and back.

#include <vector>

namespace lumatix::plot {

class TwoDPoint {
 public:
  TwoDPoint() = default;
  TwoDPoint(double x_, double y_) : x(x_), y(y_) {}

  void Homogenise();
  void Dehomogenise();
  // 0 = x, 1 = y, 2 = w while homogeneous. Any other index throws
  // "Homogenised 2D point index error. index =<i>" or "2D point index error. index =<i>".
  double& operator[](int index);

  bool homogeneous = false;
  double x = 0.0, y = 0.0, w = 1.0;
};

// A dense matrix of doubles; the transforms are 3x3.
class Matrix {
 public:
  // Throws "matrix contains less then zero elements." for a negative size.
  Matrix(int rows, int columns);
  static Matrix identity(int n);

  double& operator()(int r, int c) { return values_[static_cast<std::size_t>(r * columns_ + c)]; }
  double operator()(int r, int c) const { return values_[static_cast<std::size_t>(r * columns_ + c)]; }
  int rows() const { return rows_; }
  int columns() const { return columns_; }

  // Throws "Columns in left matrix must equals rows in right matrix for multiplication."
  friend Matrix operator*(const Matrix& a, const Matrix& b);

 private:
  int rows_, columns_;
  std::vector<double> values_;
};

// Affine maps of the plane as 3x3 matrices acting on homogeneous points.
class Transform {
 public:
  Transform() : m_(Matrix::identity(3)) {}
  static Transform translation(double dx, double dy);
  static Transform scaling(double sx, double sy);

  // This after other: (a.then(b))(p) = b(a(p)).
  Transform then(const Transform& next) const;
  Transform inverse() const;
  TwoDPoint apply(TwoDPoint p) const;

  const Matrix& matrix() const { return m_; }

 private:
  explicit Transform(Matrix m) : m_(std::move(m)) {}
  Matrix m_;
};

}  // namespace lumatix::plot
