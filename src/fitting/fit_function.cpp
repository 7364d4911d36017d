#include "fitting/fit_function.h"

#include <stdexcept>
#include <utility>

namespace lumatix::fitting {

FitFunction::FitFunction(ModelRoutine modelRoutine, EstimateRoutine estimateRoutine, std::string displayName,
                         std::int32_t parameterCount, std::string displayEquation, const std::string& parameterList,
                         BatchModelRoutine batchRoutine)
    : equation(std::move(displayEquation)),
      model(modelRoutine),
      batch(batchRoutine),
      estimate(estimateRoutine),
      count(parameterCount),
      name(std::move(displayName)) {
  if (!parameterList.empty()) {
    std::string::size_type begin = 0;
    for (;;) {
      auto comma = parameterList.find(',', begin);
      parameterNames.push_back(parameterList.substr(begin, comma - begin));
      if (comma == std::string::npos) break;
      begin = comma + 1;
    }
  }
  if (static_cast<std::int64_t>(parameterNames.size()) > count)
    throw std::runtime_error("Incorrect number of parameters for fitting function");
  parameterNames.resize(static_cast<std::size_t>(count < 0 ? 0 : count));
}

}  // namespace lumatix::fitting
