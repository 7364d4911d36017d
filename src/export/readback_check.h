#pragma once
// What a format cannot hold: a store that would be written but not read back the same is
// refused before anything is written, with the reason and where the data would fit.

#include <string>
#include <string_view>

#include "datastore/data_store.h"

namespace lumatix::exports {

// Empty when the store can be written in the format (a dispatcher format name) and read
// back; otherwise the message for the person.
std::string whyNotWritable(const datastore::DataStore& store, std::string_view format);

}  // namespace lumatix::exports
