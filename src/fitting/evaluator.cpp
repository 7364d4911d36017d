#include "fitting/evaluator.h"

#include <cmath>

namespace lumatix::fitting {
namespace {

double pop(EvaluationStack& stack) {
  if (stack.empty()) throw CMathFn::STACK_ERROR();
  double value = stack.back();
  stack.pop_back();
  return value;
}

// Pops top and second only when both are there, so a failing operator leaves the stack whole.
void needs(const EvaluationStack& stack, std::size_t count) {
  if (stack.size() < count) throw CMathFn::STACK_ERROR();
}

// The one variable every program shares.
CPushVar variable;

const CPushConst minusOne(-1.0);
const CPushConst hundred(100.0);
const CPushConst three(3.0);
const CPushConst two(2.0);

const Addfn add;
const Subtractfn subtract;
const Multiplyfn multiply;
const Dividefn divide;
const Exp10fn exp10Node;
const log10fn log10Node;

const CMathFn* const identityNodes[] = {&variable, nullptr};
const CMathFn* const identity2Nodes[] = {&variable, nullptr};
const CMathFn* const absorbanceToTransmissionNodes[] = {&variable, &minusOne, &multiply, &exp10Node, nullptr};
const CMathFn* const transmissionToAbsorbanceNodes[] = {&variable, &log10Node, &minusOne, &multiply, nullptr};
const CMathFn* const percentToFractionNodes[] = {&variable, &hundred, &divide, nullptr};
const CMathFn* const fractionToPercentNodes[] = {&variable, &hundred, &multiply, nullptr};
const CMathFn* const polarisationToAnisotropyNodes[] = {&variable, &two,      &multiply, &variable,
                                                        &three,    &subtract, &divide,   nullptr};
const CMathFn* const anisotropyToPolarisationNodes[] = {&variable, &three, &multiply, &variable,
                                                        &two,      &add,   &divide,   nullptr};

}  // namespace

void CPushConst::Evaluate(EvaluationStack& stack) const { stack.push_back(value); }
void CPushVar::Evaluate(EvaluationStack& stack) const { stack.push_back(value); }

void Addfn::Evaluate(EvaluationStack& stack) const {
  needs(stack, 2);
  double top = pop(stack), second = pop(stack);
  stack.push_back(top + second);
}

void Subtractfn::Evaluate(EvaluationStack& stack) const {
  needs(stack, 2);
  double top = pop(stack), second = pop(stack);
  stack.push_back(top - second);
}

void Multiplyfn::Evaluate(EvaluationStack& stack) const {
  needs(stack, 2);
  double top = pop(stack), second = pop(stack);
  stack.push_back(top * second);
}

void Dividefn::Evaluate(EvaluationStack& stack) const {
  needs(stack, 2);
  double top = pop(stack), second = pop(stack);
  double quotient = second / top;
  if (!(quotient >= kDivisionFloor)) quotient = kDivisionFloor;
  stack.push_back(quotient);
}

void Exp10fn::Evaluate(EvaluationStack& stack) const { stack.push_back(std::pow(10.0, pop(stack))); }

void log10fn::Evaluate(EvaluationStack& stack) const { stack.push_back(std::log10(pop(stack))); }

namespace programs {
const Program identity = identityNodes;
const Program identity2 = identity2Nodes;
const Program absorbanceToTransmission = absorbanceToTransmissionNodes;
const Program transmissionToAbsorbance = transmissionToAbsorbanceNodes;
const Program percentToFraction = percentToFractionNodes;
const Program fractionToPercent = fractionToPercentNodes;
const Program polarisationToAnisotropy = polarisationToAnisotropyNodes;
const Program anisotropyToPolarisation = anisotropyToPolarisationNodes;
}  // namespace programs

void RunProgram(Program program, EvaluationStack& stack, double x) {
  if (!program) return;
  for (const CMathFn* const* node = program; *node; ++node) {
    if ((*node)->kind == CMathFn::kVariable) static_cast<const CPushVar*>(*node)->value = x;
    (*node)->Evaluate(stack);
  }
}

double Convert(const UnitConversion& conversion, double x) {
  if (!conversion.active) return x;
  EvaluationStack stack;
  RunProgram(conversion.toBase, stack, x);
  if (stack.size() == 1) x = pop(stack);
  RunProgram(conversion.fromBase, stack, x);
  if (stack.size() == 1) x = pop(stack);
  return x;
}

}  // namespace lumatix::fitting
