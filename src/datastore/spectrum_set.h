#pragma once
// Spectra read from one file, each with x values of its own, and how they become stores.
// Spectra over the same x (same quantity, same values) share a store: one trace each
// along a second dimension, one property per quantity measured. Spectra over other x make
// further stores of the same file; DataStore::load reaches store k (from 1) of a file as
// "path#k", and the plain path gives the first.

#include <cstdint>
#include <istream>
#include <string>
#include <utility>
#include <vector>

namespace lumatix::datastore {

class DataStore;

struct Spectrum {
  std::string xName;      // names the x dimension ("Wavelength")
  std::string property;   // the quantity of the values ("CircularDichroism", "HV")
  std::string traceName;  // the trace's name; empty: named by its coordinate
  std::vector<float> x;
  std::vector<float> y;
  // The x of the spectrum before, which x is then left empty for: a file's columns share
  // one x, which is not copied for each.
  bool xOfPrevious = false;
  bool hasCoordinate = false;  // a value on the trace dimension (a temperature, a page)
  float coordinate = 0.0f;
};

struct SpectrumSet {
  std::string title;
  std::vector<std::string> remarks;
  std::vector<std::string> headerLines;
  std::vector<Spectrum> spectra;
  // The dimension the traces of a store run along; named by the file or by the reader.
  std::string traceDimension = "Trace";
  // The file names the trace dimension and gives each spectrum a coordinate on it: a store
  // of one spectrum keeps that dimension with its single value.
  bool traceDimensionFromFile = false;
  // Dimensions of a single value each, written by the program's own export.
  std::vector<std::pair<std::string, float>> fixedDimensions;
  // A store of one spectrum whose x is not a wavelength gets a "Wavelength" dimension of
  // the single value 0 (the layout the Cary reader has always given).
  bool wavelengthBesideOtherX = false;
};

// The number of stores the spectra make.
std::size_t storeCount(const SpectrumSet& set);

// Fills store (from 0) part of the set: dimensions, properties, values, names of its traces,
// title, remarks and header lines; then initialises it. Takes the values out of the set.
// Throws std::bad_alloc when the block cannot be had.
void fillStore(DataStore& store, SpectrumSet& set, std::size_t part);

// fillStore for a reader: fills store part when the set has it and returns how many stores
// the set makes; when the block cannot be had, the stream is left failed with the reason
// (what names the format) and 0 is returned.
std::size_t fillPart(DataStore& store, SpectrumSet& set, std::size_t part, std::istream& in, const std::string& what);

// Names the traces of dimension 1 of an initialised store: marks on view axis 1 with the
// names, the axis split below every coordinate so that every trace reads its mark.
void nameTraces(DataStore& store, const std::vector<std::string>& names);

}  // namespace lumatix::datastore
