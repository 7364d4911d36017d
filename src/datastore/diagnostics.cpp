#include "datastore/diagnostics.h"

#include <iostream>

namespace lumatix::datastore {
namespace {
std::ostream* target = nullptr;
}

std::ostream& diagnostics() { return target ? *target : std::cerr; }

std::ostream* setDiagnostics(std::ostream* next) {
  std::ostream* previous = target;
  target = next;
  return previous;
}

}  // namespace lumatix::datastore
