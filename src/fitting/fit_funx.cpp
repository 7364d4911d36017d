#include "fitting/fit_funx.h"

#include "fitting/batch_models.h"
#include "fitting/fit_estimates.h"
#include "fitting/fit_models.h"
#include "fitting/thermal_unfolding.h"

namespace lumatix::fitting {
namespace {

std::vector<FitFunction> buildTable() {
  namespace md = models;
  namespace es = estimates;
  std::vector<FitFunction> table;
  table.reserve(20);
  table.emplace_back(md::linear, es::linear, "Linear", 2, "a.x+c", "a,c");
  table.emplace_back(md::singleExponential, es::singleExponential, "Single Exponential", 3, "a.exp(-kx)+c",
                     "c,a,k", batch::singleExponential);
  table.emplace_back(md::exponentialSumSlope, es::exponentialSlope, "Single Exponential + Slope", 4,
                     "a.exp(-kx)+b.x+c", "c,a,k,b", batch::exponentialSumSlope);
  table.emplace_back(md::exponentialSum, es::exponentialSum, "Double Exponential", 5,
                     "a1.exp(-k1.x)+a2.exp(-k2.x)+c", "c,a1,k1,a2,k2", batch::exponentialSum);
  table.emplace_back(md::exponentialSum, es::exponentialSum, "Triple Exponential", 7,
                     "a1.exp(-k1.x)+a2.exp(-k2.x)+a3.exp(-k3.x)+c", "c,a1,k1,a2,k2,a3,k3", batch::exponentialSum);
  table.emplace_back(md::exponentialSum, es::exponentialSum, "Quadruple Exponential", 9,
                     "a1.exp(-k1.x)+a2.exp(-k2.x)+a3.exp(-k3.x)+c+a4.exp(-k4.x)+c", "c,a1,k1,a2,k2,a3,k3,a4,k4", batch::exponentialSum);
  table.emplace_back(md::invertedExponential, es::invertedExponential, "Inverted Exponential", 3,
                     "c+a.(1-exp(-k.t))", "c,a,k");
  table.emplace_back(md::stretchedExponential, es::stretchedExponential, "Stretched Exponential", 4,
                     "c+a.exp(-kx^b)", "c,a,k,b");
  table.emplace_back(md::hyperbolic, es::hyperbolic, "Hyperbolic", 3, "a/(k+x)+c", "a,k,c");
  table.emplace_back(md::secondOrder, es::secondOrder, "Second order", 4, "-a/(b.exp(acx)-1)+d", "a,b,c,d");
  table.emplace_back(md::singleGaussian, es::singleGaussian, "Single Gaussian", 4,
                     "a.exp((-(x-c)^2)/(2.b^2)) + d", "a,b,c,d");
  table.emplace_back(md::gaussianSum, es::gaussianSum, "1 Gaussian", 4, "a.exp((-(x-c)^2)/(2.b^2)) + d",
                     "a,b,c,d");
  table.emplace_back(md::gaussianSum, es::gaussianSum, "2 Gaussians", 7, "--", "a1,a2,b1,b2,c1,c2,d");
  table.emplace_back(md::gaussianSum, es::gaussianSum, "3 Gaussians", 10, "--", "a1,a2,a3,b1,b2,b3,c1,c2,c3,d");
  table.emplace_back(md::phTitration, es::phTitration, "pH Titration curve", 3, "Ab+((At-Ab)/(1+(10^(pKa-pH))))",
                     "Ab,At,pKa");
  table.emplace_back(md::sigmoid, es::sigmoid, "Sigmoid curve", 4, "Ab+((At-Ab)/(1+exp((x0-x)/w)))",
                     "Ab,At,x0,w");
  table.emplace_back(md::sigmoid2, es::sigmoid2, "Sigmoid curve 2", 5, "Ab+((At-Ab)/(1+n*exp((x0-x)/w)))",
                     "Ab,At,x0,w,n");
  table.emplace_back(md::sigmoidSlope, es::sigmoidSlope, "Sigmoid curve + slope", 5,
                     "Ab+((At-Ab)/(1+exp((x0-x)/w)))+m*x", "Ab,At,x0,w,m");
  table.emplace_back(md::doubleSigmoid, es::doubleSigmoid, "Double Sigmoid curve", 7,
                     "Ab+((Am-Ab)/(1+exp((x0-x)/w0)))+((At-Am)/(1+exp((x1-x)/w1)))", "Ab,Am,At,x0,x1,w0,w1");
  table.emplace_back(unfolding::model, unfolding::estimate, "Two-state unfolding", 6,
                     "((aF+bF.T)+(aU+bU.T).K)/(1+K), K=exp(dH/R.(1/Tm-1/T))", "aF,bF,aU,bU,Tm,dH");
  return table;
}

}  // namespace

const std::vector<FitFunction>& FitFunx() {
  static const std::vector<FitFunction> table = buildTable();
  return table;
}

}  // namespace lumatix::fitting
