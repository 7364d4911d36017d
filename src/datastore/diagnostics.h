#pragma once
// Where the readers write their progress notes ("reading 3 comments"): the error stream
// unless a caller redirects it.

#include <ostream>

namespace lumatix::datastore {

std::ostream& diagnostics();

// Redirects the notes; nullptr restores the error stream. Returns the previous target.
std::ostream* setDiagnostics(std::ostream* target);

}  // namespace lumatix::datastore
