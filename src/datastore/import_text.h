#pragma once
// Readers of the text files of neighbouring programs. Each starts again at the stream's
// first byte, marks the store as not CFR-compliant and builds one property over one
// dimension (CARY-ASCII: two when x is not a wavelength).

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

namespace lumatix::datastore {

class DataStore;

// "ASCII", the point count, then that many x y pairs. Anything else (including a count of
// zero, or more points than the file can hold) leaves the stream failed.
void readAsciiXY(DataStore& store, std::istream& in);

// The comma-separated export of Cary spectrophotometers: a line of sample names, a line
// naming x and y of each sample, rows of "x,y" pairs side by side up to an empty line, a
// row of commas or the end of the file, then the method text: its first paragraph as
// header lines, the rest as remarks. Each sample a trace, named from the first line.
// Throws "The file is of an unrecognised format\n" (with the reason) for a broken row.
void readCary(DataStore& store, std::istream& in);

// The name of a JCAMP-DX labelled record ("##XYDATA=..." gives "XYDATA"), compared the way
// the format's labels are: leading blanks, blanks, "-", "_" and "/" dropped, letters made
// upper case ("## Data-Type =" gives "DATATYPE"). Empty for a line that is not a label.
std::string jcampLabel(std::string_view line);

// JCAMP-DX: "##" labelled records (matched by jcampLabel, "$$" comments dropped) in one or
// more blocks, each data record (XYDATA, XYPOINTS, PEAK TABLE, an NTUPLES page) one
// spectrum. XUNITS and YUNITS name the dimension and property ("NANOMETERS" gives
// "Wavelength"), labels win over units; the header's other records become remarks. A
// first record other than TITLE, no data, or data that disagree with their records
// (NPOINTS, FIRSTX, LASTX, FIRSTY) leave the stream failed with the reason.
void readJcamp(DataStore& store, std::istream& in);

// The readers of files that may hold several stores (spectra over different x, see
// spectrum_set.h): fill store `part` (from 0) when there is one, and return how many the
// file holds; 0 when the file was refused.
std::size_t readJcampPart(DataStore& store, std::istream& in, std::size_t part);
std::size_t readCaryPart(DataStore& store, std::istream& in, std::size_t part);

// The text export of CD and UV-Vis spectrometers: header lines of a key and a value (TITLE,
// DATA TYPE, ORIGIN, ..., XUNITS, YUNITS, Y2UNITS, NPOINTS), a line "XYDATA", rows of x and
// one to four channels (tabs or commas between cells, decimal commas read), then extended
// information. Each channel a property named by its units line; header and extended
// information kept as remarks.
bool looksLikeSpectrometerText(std::string_view start);
std::size_t readSpectrometerTextPart(DataStore& store, std::istream& in, std::size_t part);

// Columns of numbers, when no format is recognised: text lines before them (kept as
// remarks), an optional row naming the columns, then rows parted by tabs, semicolons,
// commas or blanks; the first column is x, each further column a trace. `columns` is
// false, and nothing is reported, for a file whose numbers are not the bulk of it; a file
// of columns that cannot be read leaves the stream failed with the reason.
struct ColumnsRead {
  bool columns = false;
  std::size_t parts = 0;
};
ColumnsRead readColumnsPart(DataStore& store, std::istream& in, std::size_t part);

}  // namespace lumatix::datastore
