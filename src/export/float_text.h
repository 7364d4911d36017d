#pragma once
// A faster route to the default stream text of a float ("%g", 6 significant digits) for the
// table exports, which spend most of their time formatting numbers. The result is the same
// text datastore::text::formatFloat writes, byte for byte.

#include <cstddef>

namespace lumatix::exports {

// At most datastore::text::kMaxNumberChars characters from first; returns their end.
char* formatFloatFast(char* first, float value);

}  // namespace lumatix::exports
