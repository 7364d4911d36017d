#include "plot/two_d_point.h"

#include <stdexcept>
#include <string>

namespace lumatix::plot {

void TwoDPoint::Homogenise() {
  if (homogeneous) return;
  w = 1.0;
  homogeneous = true;
}

void TwoDPoint::Dehomogenise() {
  if (!homogeneous) return;
  x /= w;
  y /= w;
  homogeneous = false;
}

double& TwoDPoint::operator[](int index) {
  if (index == 0) return x;
  if (index == 1) return y;
  if (index == 2 && homogeneous) return w;
  throw std::out_of_range((homogeneous ? "Homogenised 2D point index error. index =" : "2D point index error. index =") +
                          std::to_string(index));
}

Matrix::Matrix(int rows, int columns) : rows_(rows), columns_(columns) {
  if (rows < 0 || columns < 0) throw std::length_error("matrix contains less then zero elements.");
  values_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns), 0.0);
}

Matrix Matrix::identity(int n) {
  Matrix m(n, n);
  for (int i = 0; i < n; ++i) m(i, i) = 1.0;
  return m;
}

Matrix operator*(const Matrix& a, const Matrix& b) {
  if (a.columns_ != b.rows_)
    throw std::invalid_argument("Columns in left matrix must equals rows in right matrix for multiplication.");
  Matrix r(a.rows_, b.columns_);
  for (int i = 0; i < a.rows_; ++i)
    for (int j = 0; j < b.columns_; ++j) {
      double sum = 0.0;
      for (int k = 0; k < a.columns_; ++k) sum += a(i, k) * b(k, j);
      r(i, j) = sum;
    }
  return r;
}

Transform Transform::translation(double dx, double dy) {
  Matrix m = Matrix::identity(3);
  m(0, 2) = dx;
  m(1, 2) = dy;
  return Transform(m);
}

Transform Transform::scaling(double sx, double sy) {
  Matrix m = Matrix::identity(3);
  m(0, 0) = sx;
  m(1, 1) = sy;
  return Transform(m);
}

Transform Transform::then(const Transform& next) const { return Transform(next.m_ * m_); }

Transform Transform::inverse() const {
  const Matrix& a = m_;
  double det = a(0, 0) * (a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1)) - a(0, 1) * (a(1, 0) * a(2, 2) - a(1, 2) * a(2, 0)) +
               a(0, 2) * (a(1, 0) * a(2, 1) - a(1, 1) * a(2, 0));
  if (det == 0.0) throw std::domain_error("The transform cannot be inverted.");
  Matrix r(3, 3);
  r(0, 0) = (a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1)) / det;
  r(0, 1) = (a(0, 2) * a(2, 1) - a(0, 1) * a(2, 2)) / det;
  r(0, 2) = (a(0, 1) * a(1, 2) - a(0, 2) * a(1, 1)) / det;
  r(1, 0) = (a(1, 2) * a(2, 0) - a(1, 0) * a(2, 2)) / det;
  r(1, 1) = (a(0, 0) * a(2, 2) - a(0, 2) * a(2, 0)) / det;
  r(1, 2) = (a(0, 2) * a(1, 0) - a(0, 0) * a(1, 2)) / det;
  r(2, 0) = (a(1, 0) * a(2, 1) - a(1, 1) * a(2, 0)) / det;
  r(2, 1) = (a(0, 1) * a(2, 0) - a(0, 0) * a(2, 1)) / det;
  r(2, 2) = (a(0, 0) * a(1, 1) - a(0, 1) * a(1, 0)) / det;
  return Transform(r);
}

TwoDPoint Transform::apply(TwoDPoint p) const {
  p.Homogenise();
  TwoDPoint out;
  out.homogeneous = true;
  out.x = m_(0, 0) * p.x + m_(0, 1) * p.y + m_(0, 2) * p.w;
  out.y = m_(1, 0) * p.x + m_(1, 1) * p.y + m_(1, 2) * p.w;
  out.w = m_(2, 0) * p.x + m_(2, 1) * p.y + m_(2, 2) * p.w;
  out.Dehomogenise();
  return out;
}

}  // namespace lumatix::plot
