#pragma once
// Readers of the text files of neighbouring programs. Each starts again at the stream's
// first byte, marks the store as not CFR-compliant and builds one property over one
// dimension (CARY-ASCII: two when x is not a wavelength).

#include <istream>
#include <string>
#include <string_view>

namespace lumatix::datastore {

class DataStore;

// "ASCII", the point count, then that many x y pairs. Anything else (including a count of
// zero, or more points than the file can hold) leaves the stream failed.
void readAsciiXY(DataStore& store, std::istream& in);

// The comma-separated export of Cary spectrophotometers: a title line, a line naming x and
// y, rows "x,y" up to an empty line, then header lines up to the next empty line. Throws
// "The file is of an unrecognised format\n" when the rows do not end at an empty line.
void readCary(DataStore& store, std::istream& in);

// The name of a JCAMP-DX labelled record ("##XYDATA=..." gives "XYDATA"), compared the way
// the format's labels are: leading blanks, blanks, "-", "_" and "/" dropped, letters made
// upper case ("## Data-Type =" gives "DATATYPE"). Empty for a line that is not a label.
std::string jcampLabel(std::string_view line);

// JCAMP-DX files of the shape the program's own export writes: "##" labels (matched by
// jcampLabel, "$$" comments dropped) up to "##XYDATA" or "##XYPOINTS", then "##NPOINTS" pairs x y (or, for
// "(X++(Y..Y))" with FIRSTX and LASTX, lines of an x and several y values). A first
// label other than TITLE, or data the labels do not announce leave the stream failed.
void readJcamp(DataStore& store, std::istream& in);

}  // namespace lumatix::datastore
