#pragma once
// A small stack machine for the fixed one-variable formulas that convert displayed trace
// values between units of one quantity (per cent transmission and absorbance, fluorescence
// polarisation and anisotropy). Formulas are constant programs: null-terminated arrays of
// nodes in reverse Polish order. There is no parser.
//
// Not thread-safe: every program shares the one variable node, which the evaluator writes
// before each use.

#include <deque>
#include <exception>

namespace lumatix::fitting {

using EvaluationStack = std::deque<double>;

class CMathFn {
 public:
  enum Kind : int { kConstant = 0, kVariable = 1, kOperator = 2 };

  // Thrown by an operator that finds fewer values on the stack than it needs.
  class STACK_ERROR : public std::exception {};

  explicit constexpr CMathFn(int nodeKind) : kind(nodeKind) {}
  // Pops the node's operands from the back of the stack and pushes its result.
  virtual void Evaluate(EvaluationStack& stack) const = 0;

  int kind;

 protected:
  ~CMathFn() = default;  // nodes are static and never deleted through a base pointer
};

class CPushConst final : public CMathFn {
 public:
  explicit constexpr CPushConst(double constant) : CMathFn(kConstant), value(constant) {}
  void Evaluate(EvaluationStack& stack) const override;
  double value;
};

class CPushVar final : public CMathFn {
 public:
  constexpr CPushVar() : CMathFn(kVariable) {}
  void Evaluate(EvaluationStack& stack) const override;
  // Written by the evaluator with the current input before the node runs.
  mutable double value = 0.0;
};

class CMathFnOp : public CMathFn {
 public:
  constexpr CMathFnOp() : CMathFn(kOperator) {}

 protected:
  ~CMathFnOp() = default;
};

// "top" is the value pushed last, "second" the one below it.
class Addfn final : public CMathFnOp {  // top + second
 public:
  void Evaluate(EvaluationStack& stack) const override;
};
class Subtractfn final : public CMathFnOp {  // top - second: x, 3, Subtractfn gives 3 - x
 public:
  void Evaluate(EvaluationStack& stack) const override;
};
class Multiplyfn final : public CMathFnOp {  // top * second
 public:
  void Evaluate(EvaluationStack& stack) const override;
};
// second / top, never below kDivisionFloor (negative and NaN quotients become the floor).
class Dividefn final : public CMathFnOp {
 public:
  void Evaluate(EvaluationStack& stack) const override;
};
class Exp10fn final : public CMathFnOp {  // 10^top
 public:
  void Evaluate(EvaluationStack& stack) const override;
};
class log10fn final : public CMathFnOp {  // log10(top)
 public:
  void Evaluate(EvaluationStack& stack) const override;
};

// 10^-5.5: keeps the absorbance of a zero or negative transmission finite (at most 5.5).
inline constexpr double kDivisionFloor = 3.162277660168379e-6;

// A program: null-terminated array of nodes, run first to last.
using Program = const CMathFn* const*;

// The built-in programs.
namespace programs {
extern const Program identity;                // x
extern const Program identity2;               // x (a separate instance for the second row)
extern const Program absorbanceToTransmission;  // 10^(-x)
extern const Program transmissionToAbsorbance;  // -log10(x)
extern const Program percentToFraction;       // x / 100
extern const Program fractionToPercent;       // 100 x
extern const Program polarisationToAnisotropy;  // 2x / (3 - x)
extern const Program anisotropyToPolarisation;  // 3x / (x + 2)
}  // namespace programs

// Runs one program on the stack with the variable bound to x. A null program does nothing.
// Throws CMathFn::STACK_ERROR when an operator lacks operands.
void RunProgram(Program program, EvaluationStack& stack, double x);

// A conversion from a row's unit to another row's unit of the same quantity: the current
// row's toBase program, then the target row's fromBase program. A missing program acts as
// the identity.
struct UnitConversion {
  Program toBase = nullptr;    // current row: its unit to the common quantity
  Program fromBase = nullptr;  // target row: the common quantity to its unit
  bool active = false;         // false when the target row is the current row
};

// x in the target unit; x itself, bit for bit, when the conversion is not active. A
// program that leaves other than exactly one value on the stack leaves x as it was.
// Throws CMathFn::STACK_ERROR from a malformed program.
double Convert(const UnitConversion& conversion, double x);

}  // namespace lumatix::fitting
