#pragma once
// LumatixStore (".dsa"): the readable native text file. It carries the title, remarks,
// properties, dimensions, option lines, values and history texts of a store, but no
// compliance attributes and no view, so a store read from it is never CFR-compliant.
//
// Option lines: the files of earlier versions put them, without header or count, between
// the dimensions and the value block, where their reader took them for values. They are now
// written there under an "Options:" line and their count, and the reader also finds the
// bare option lines of the old layout: any line before the first value row that is not a
// row of exactly size(0) comma-separated numbers. A store without option lines is written
// exactly as before.

#include <istream>
#include <ostream>

namespace lumatix::datastore {

class DataStore;

// Writes the store (without the value block when headerOnly), flushes, sets formatName to
// "LumatixStore" and saved to true. A line end inside the title, a remark, a name or an
// option line is written as a blank, so that the file reads back. Throws "Datastore not
// valid" when the value block does not match the dimensions (unless headerOnly).
std::ostream& writeLumatixStore(DataStore& store, std::ostream& out, bool headerOnly);

// Reads from the stream's first byte. Throws "The file is corrupt.\n" for a damaged file;
// leaves the stream failed (without an exception) for a file without its "Dimensions:" line
// or with a missing comma in the value block. With headerOnly it stops after the
// dimensions and option lines. Writes "reading N comments" (or "reading old style
// comment.") to standard error, as the viewer always has.
void readLumatixStore(DataStore& store, std::istream& in, bool headerOnly);

}  // namespace lumatix::datastore
