#pragma once
// The check every reader's fuzz target makes on what it refused: a refusal tells the person
// why, so a refused input without a reason is a fault.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>

#include "datastore/load_refusal.h"

namespace lumatix::fuzz {

// Forgets the reason of the input before.
inline void startRefusalCheck() { datastore::setLastLoadRefusal({}); }

// Aborts when the input was refused without a reason.
inline void requireReason(const char* how) {
  if (datastore::lastLoadRefusal().empty()) {
    std::fprintf(stderr, "refused (%s) without a reason\n", how);
    std::abort();
  }
}

// Runs the reader; true when it accepted the input. A refusal by stream state or by
// LoadRefused must carry a reason; any other exception is a fault of the reader.
template <class Read>
bool readOrRequireReason(Read read) {
  startRefusalCheck();
  try {
    if (read()) return true;
    requireReason("stream state");
    return false;
  } catch (const datastore::LoadRefused& e) {
    if (e.reason().empty()) requireReason("exception");
    return false;
  } catch (const std::bad_alloc&) {
    return false;  // the counts are checked against the input, so only a huge input gets here
  } catch (const std::exception& e) {
    std::fprintf(stderr, "refused without a reason, by an exception: %s\n", e.what());
    std::abort();
  }
}

}  // namespace lumatix::fuzz
