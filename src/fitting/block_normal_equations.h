#pragma once
// The normal equations of a global fit, kept in their block structure: the parameters shared
// by all traces form a dense block U, each trace's own parameters a block V_t, and they meet
// only in the coupling blocks W_t (shared x local of trace t):
//
//   [ U     W_1 ... W_T ] [dS  ]   [bS  ]
//   [ W_1'  V_1         ] [dL_1] = [bL_1]
//   [ ...       ...     ] [... ]   [... ]
//   [ W_T'          V_T ] [dL_T]   [bL_T]
//
// The damped system adds lambda times the damping scale (the largest diagonal seen so far,
// as DampedSolver does) to every diagonal and is solved through the Schur complement
//   S = U - sum W_t V_t^-1 W_t',  S dS = bS - sum W_t V_t^-1 bL_t,  dL_t = V_t^-1 (bL_t - W_t' dS)
// so that memory and work grow linearly with the number of traces. Every block is scaled to
// unit diagonal and factored by a complete orthogonal decomposition, so that a block that is
// not determined gives a minimum-norm step rather than a failure, whatever the units.

#include <Eigen/Dense>
#include <cstdint>
#include <vector>

namespace lumatix::fitting {

class BlockNormalEquations {
 public:
  // s shared and l local unknowns for each of `traces` traces.
  BlockNormalEquations(std::int32_t shared, std::int32_t local, std::int32_t traces);

  std::int32_t sharedCount() const { return shared_; }
  std::int32_t localCount() const { return local_; }
  std::int32_t traceCount() const { return traces_; }

  // Zeroes the sums.
  void clear();
  // Adds the rows of one trace's Jacobian: js (points x s), jl (points x l), residuals r.
  void add(std::int32_t trace, const Eigen::Ref<const Eigen::MatrixXd>& js, const Eigen::Ref<const Eigen::MatrixXd>& jl,
           const Eigen::Ref<const Eigen::VectorXd>& r);
  // Copies every block from another system of the same sizes (an accepted trial's sums).
  void assign(const BlockNormalEquations& other);

  // Starts a fit: forgets the damping scale.
  void resetScale();
  // Raises the damping scale to the diagonals where they are larger.
  void updateScale();

  // The step (shared part dS, local parts as the columns of dL, l x T); false when it is not
  // finite. lambda = 0 is the Gauss-Newton step.
  bool solve(double lambda, Eigen::VectorXd& dS, Eigen::MatrixXd& dL);
  // After solve(0, ...): whether the matrix determines every unknown, as
  // DampedSolver::determines asks of a single fit's curvature (no diagonal vanished against
  // its scale, no local block and no Schur complement numerically singular).
  bool determinesAll() const { return determined_; }
  // delta' beta for a step.
  double stepDotGradient(const Eigen::VectorXd& dS, const Eigen::MatrixXd& dL) const;
  // 2 delta'beta - delta' A delta, the decrease of chi-square the quadratic model predicts.
  double predictedDecrease(const Eigen::VectorXd& dS, const Eigen::MatrixXd& dL) const;
  // The diagonal of the inverse of the whole (undamped) matrix: the shared part and the local
  // parts as the columns of a l x T matrix. False when the matrix is singular.
  bool inverseDiagonal(Eigen::VectorXd& shared, Eigen::MatrixXd& local);

 private:
  // Factors the scaled, damped blocks and forms the Schur complement; false when not finite.
  bool factor(double lambda);

  std::int32_t shared_, local_, traces_;
  Eigen::MatrixXd u_;                // s x s
  Eigen::VectorXd bS_;               // s
  std::vector<Eigen::MatrixXd> w_;   // T of s x l
  std::vector<Eigen::MatrixXd> v_;   // T of l x l
  Eigen::MatrixXd bL_;               // l x T
  Eigen::VectorXd scaleS_;           // s
  Eigen::MatrixXd scaleL_;           // l x T
  // Factoring scratch, kept between calls: unit factors, V_t^-1 W_t' and V_t^-1 bL_t (scaled).
  Eigen::VectorXd unitS_;
  Eigen::MatrixXd unitL_;
  std::vector<Eigen::MatrixXd> y_;   // T of l x s
  Eigen::MatrixXd z_;                // l x T
  std::vector<Eigen::CompleteOrthogonalDecomposition<Eigen::MatrixXd>> localFactors_;
  Eigen::CompleteOrthogonalDecomposition<Eigen::MatrixXd> schurFactor_;
  Eigen::MatrixXd schur_, scaledW_;
  Eigen::VectorXd schurRhs_;
  bool allInvertible_ = true;
  bool determined_ = false;
};

}  // namespace lumatix::fitting
