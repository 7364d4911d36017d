#include "fitting/diagnostics.h"

#include <iostream>

namespace lumatix::fitting {
namespace {
std::ostream* target = nullptr;
}

std::ostream& diagnostics() { return target ? *target : std::cerr; }

std::ostream* setDiagnostics(std::ostream* next) {
  std::ostream* previous = target;
  target = next;
  return previous;
}

}  // namespace lumatix::fitting
