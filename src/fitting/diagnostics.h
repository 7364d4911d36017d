#pragma once
// Where the fitting code writes its notes (estimate reasoning, solver failures): the error
// stream unless a caller redirects it.

#include <ostream>

namespace lumatix::fitting {

std::ostream& diagnostics();

// Redirects the notes; nullptr restores the error stream. Returns the previous target.
std::ostream* setDiagnostics(std::ostream* target);

}  // namespace lumatix::fitting
