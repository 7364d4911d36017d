// JCAMP-DX: labelled records ("##LABEL=value") in blocks; every data record (XYDATA,
// XYPOINTS, PEAK TABLE, an NTUPLES page's DATA TABLE) gives one spectrum, named by the
// records before it. Compound files (LINK blocks, or blocks one after the other as the
// program's own export writes them) give one spectrum per block.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "datastore/data_store.h"
#include "datastore/import_text.h"
#include "datastore/jcamp_data.h"
#include "datastore/load_refusal.h"
#include "datastore/quantity_names.h"
#include "datastore/spectrum_set.h"
#include "datastore/text_cursor.h"
#include "datastore/text_number.h"

namespace lumatix::datastore {
namespace {

// The value of a labelled record: the text after "=", its "$$" comment and the blanks
// around it removed.
std::string labelValue(std::string_view line) {
  std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return {};
  std::string_view value = line.substr(equals + 1);
  if (std::size_t comment = value.find("$$"); comment != std::string_view::npos) value = value.substr(0, comment);
  std::size_t first = value.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  std::size_t last = value.find_last_not_of(" \t\r");
  return std::string(value.substr(first, last - first + 1));
}

// The label as the file spells it ("##$REPEAT=1" gives "$REPEAT").
std::string rawLabel(std::string_view line) {
  std::size_t start = line.find("##");
  std::size_t equals = line.find('=');
  if (start == std::string_view::npos) return {};
  std::string_view label = line.substr(start + 2, equals == std::string_view::npos ? std::string_view::npos : equals - start - 2);
  std::size_t first = label.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  std::size_t last = label.find_last_not_of(" \t");
  return std::string(label.substr(first, last - first + 1));
}

bool wholeNumber(const std::string& text, double& value) {
  return !text.empty() && text::parseDouble(text, value) == text.size();
}

std::vector<std::string> listOf(const std::string& value) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = value.find(',', start);
    std::string item = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    const std::size_t first = item.find_first_not_of(" \t");
    const std::size_t last = item.find_last_not_of(" \t");
    out.push_back(first == std::string::npos ? std::string() : item.substr(first, last - first + 1));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

// "TEMPERATURE" as the program spells its dimensions ("Temperature"); other words get a
// capital and small letters.
std::string dimensionName(std::string label) {
  static const char* const kKnown[] = {"Wavelength", "Time", "Temperature", "Repeat", "Concentration",
                                       "Volume", "Cell", "Channel", "Sample", "Page"};
  std::string upper = label;
  for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  for (const char* known : kKnown) {
    std::string k = known;
    for (char& ch : k) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (k == upper) return known;
  }
  for (std::size_t i = 0; i < label.size(); ++i)
    label[i] = static_cast<char>(i == 0 ? std::toupper(static_cast<unsigned char>(label[i]))
                                        : std::tolower(static_cast<unsigned char>(label[i])));
  return label;
}

// Labels that name what the program's dimensions are: a block that gives one of them a
// number is taken at that value (a melt written as one block per temperature).
bool isDimensionWord(const std::string& label) {
  static const std::unordered_set<std::string> kWords{"TEMPERATURE", "TIME",    "REPEAT",  "CONCENTRATION",
                                                      "VOLUME",      "CELL",    "CHANNEL", "WAVELENGTH"};
  return kWords.count(label) > 0;
}

// Records that describe the data of their block; they are not kept as remarks.
bool describesData(const std::string& label) {
  static const std::unordered_set<std::string> kLabels{
      "TITLE", "END",   "XUNITS", "YUNITS", "XLABEL", "YLABEL", "XFACTOR", "YFACTOR", "FIRSTX",    "LASTX",
      "DELTAX", "FIRSTY", "MAXX", "MINX",   "MAXY",   "MINY",   "NPOINTS", "BLOCKID", "BLOCKS",    "DATACLASS",
      "VARNAME", "SYMBOL", "VARTYPE", "VARFORM", "VARDIM", "UNITS", "FIRST", "LAST", "MIN", "MAX",
      "FACTOR", "PAGE", "ENDNTUPLES", "XYDATA", "XYPOINTS", "PEAKTABLE", "DATATABLE", "PEAKASSIGNMENTS", "LASTY",
      "JCAMPDX", "JCAMPCS"};
  return kLabels.count(label) > 0;
}

struct Ntuples {
  bool active = false;
  std::vector<std::string> names, symbols, units;
  std::vector<std::string> first, last, factor, dims;
  int index(const std::string& symbol) const {
    for (std::size_t i = 0; i < symbols.size(); ++i) {
      std::string s = symbols[i];
      for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      if (s == symbol) return static_cast<int>(i);
    }
    return -1;
  }
  static bool numberAt(const std::vector<std::string>& list, int i, double& value) {
    return i >= 0 && static_cast<std::size_t>(i) < list.size() && wholeNumber(list[static_cast<std::size_t>(i)], value);
  }
  static std::string textAt(const std::vector<std::string>& list, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < list.size() ? list[static_cast<std::size_t>(i)] : std::string();
  }
};

struct Block {
  std::string title;
  bool ownTitle = false;
  bool hasBlockId = false;
  std::string dataType, xUnits, yUnits, xLabel, yLabel;
  jcamp::Scale scale;
  std::string coordinateName;
  double coordinate = 0.0;
  bool hasCoordinate = false;
  Ntuples ntuples;
  std::string pageSymbol;
  double pageValue = 0.0;
  bool hasPage = false;
};

class JcampReader {
 public:
  explicit JcampReader(text::TextCursor& c) : c_(c) {}

  // Empty when the file gave at least one spectrum, else why not.
  std::string read(SpectrumSet& set) {
    c_.normaliseLineEnds();
    std::string_view line;
    // Blank lines and "$$" comments may come before the first record.
    do {
      c_.skipWs();
    } while (c_.rest().substr(0, 2) == "$$" && c_.skipLine());
    if (!c_.lineView(line) || jcampLabel(line) != "TITLE") return "the first line is not a ##TITLE record.";
    set.title = labelValue(line);
    block_.title = set.title;
    block_.ownTitle = true;
    bool keepContinuation = false;
    while (true) {
      const std::size_t at = c_.position();
      if (!c_.lineView(line)) break;
      if (!jcamp::isLabelLine(line)) {
        // The further lines of a record's value, or text between records.
        std::string kept = labelValue("=" + std::string(line));
        if (keepContinuation && !kept.empty()) addRemark(set, kept);
        continue;
      }
      const std::string label = jcampLabel(line);
      const std::string value = labelValue(line);
      keepContinuation = false;
      if (label == "XYDATA" || label == "XYPOINTS" || label == "PEAKTABLE" || label == "DATATABLE") {
        if (std::string why = readData(set, label, value, at); !why.empty()) return why;
        continue;
      }
      if (label == "PEAKASSIGNMENTS") {
        skipToNextLabel();
        continue;
      }
      if (std::string why = takeRecord(set, label, rawLabel(line), value, at); !why.empty()) return why;
      keepContinuation = !describesData(label);
    }
    if (set.spectra.empty()) return "no XYDATA, XYPOINTS or PEAK TABLE block.";
    set.traceDimensionFromFile = ownExport_ && std::any_of(set.spectra.begin(), set.spectra.end(),
                                                           [](const Spectrum& s) { return s.hasCoordinate; });
    return {};
  }

 private:
  std::string here(std::size_t at, const std::string& what) const {
    return "line " + std::to_string(c_.lineNumberAt(at)) + ": " + what;
  }

  void addRemark(SpectrumSet& set, const std::string& remark) {
    if (remarksSeen_.insert(remark).second) set.remarks.push_back(remark);
  }

  void skipToNextLabel() {
    std::string_view line;
    while (true) {
      const std::size_t at = c_.position();
      if (!c_.lineView(line)) return;
      if (jcamp::isLabelLine(line)) {
        c_.seek(at);
        return;
      }
    }
  }

  std::string number(const std::string& raw, const std::string& value, std::size_t at, double& out) const {
    if (!wholeNumber(value, out)) return here(at, "the ##" + raw + " " + quoted(value) + " is not a number.");
    return {};
  }

  std::string takeRecord(SpectrumSet& set, const std::string& label, const std::string& raw, const std::string& value,
                         std::size_t at) {
    double v = 0.0;
    if (label == "TITLE") {
      block_ = Block{};
      block_.title = value;
      block_.ownTitle = true;
    } else if (label == "END") {
      block_ = Block{};
      block_.title = set.title;
    } else if (label == "ENDNTUPLES") {
      block_.ntuples = Ntuples{};
    } else if (label == "XUNITS") {
      block_.xUnits = value;
    } else if (label == "YUNITS") {
      block_.yUnits = value;
    } else if (label == "XLABEL") {
      block_.xLabel = value;
    } else if (label == "YLABEL") {
      block_.yLabel = value;
    } else if (label == "XFACTOR" || label == "YFACTOR" || label == "FIRSTX" || label == "LASTX" || label == "DELTAX" ||
               label == "FIRSTY") {
      if (value.empty()) return {};
      if (std::string why = number(raw, value, at, v); !why.empty()) return why;
      if ((label == "XFACTOR" || label == "YFACTOR") && (v == 0.0 || !std::isfinite(v)))
        return here(at, "the ##" + raw + " " + quoted(value) + " would make every value " + (v == 0.0 ? "0." : "infinite."));
      if (label == "XFACTOR") block_.scale.xFactor = v;
      if (label == "YFACTOR") block_.scale.yFactor = v;
      if (label == "FIRSTX") block_.scale.firstX = v;
      if (label == "LASTX") block_.scale.lastX = v;
      if (label == "DELTAX") block_.scale.deltaX = v;
      if (label == "FIRSTY") block_.scale.firstY = v;
    } else if (label == "NPOINTS") {
      std::int64_t n = 0;
      if (value.empty()) return {};
      if (text::parseInt(value, n) != value.size() || n < 0)
        return here(at, "the ##NPOINTS " + quoted(value) + " is not a whole number.");
      block_.scale.points = n;
    } else if (label == "BLOCKID") {
      block_.hasBlockId = true;
    } else if (label == "DATATYPE") {
      block_.dataType = value;
      // The export's blocks name their property by it.
      if (!(ownExport_ && block_.ownTitle && block_.title != set.title)) addRemark(set, raw + "=" + value);
    } else if (label == "ORIGIN") {
      ownExport_ = ownExport_ || value == "Corvane";
      addRemark(set, raw + "=" + value);
    } else if (label == "NTUPLES") {
      block_.ntuples = Ntuples{};
      block_.ntuples.active = true;
      addRemark(set, raw + "=" + value);
    } else if (label == "VARNAME") {
      block_.ntuples.names = listOf(value);
    } else if (label == "SYMBOL") {
      block_.ntuples.symbols = listOf(value);
    } else if (label == "UNITS") {
      block_.ntuples.units = listOf(value);
    } else if (label == "FIRST") {
      block_.ntuples.first = listOf(value);
    } else if (label == "LAST") {
      block_.ntuples.last = listOf(value);
    } else if (label == "FACTOR") {
      block_.ntuples.factor = listOf(value);
    } else if (label == "VARDIM") {
      block_.ntuples.dims = listOf(value);
    } else if (label == "PAGE") {
      // "N=1", "T= 0.5" or a bare value.
      const std::size_t equals = value.find('=');
      std::string symbol = equals == std::string::npos ? std::string() : value.substr(0, equals);
      symbol.erase(std::remove_if(symbol.begin(), symbol.end(), [](char ch) { return ch == ' ' || ch == '\t'; }),
                   symbol.end());
      for (char& ch : symbol) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      std::string number = equals == std::string::npos ? value : labelValue(value);
      block_.pageSymbol = symbol;
      block_.hasPage = wholeNumber(number, block_.pageValue);
      block_.scale.points = -1;
    } else if (describesData(label)) {
      // The extremes and the variable types describe the data and are not needed to read it.
    } else {
      if (!raw.empty() && raw[0] == '$') {
        // The program's own export writes the dimensions of a single value so.
        if (ownExport_ && wholeNumber(value, v)) {
          const std::string name = dimensionName(raw.substr(1));
          const bool seen = std::any_of(set.fixedDimensions.begin(), set.fixedDimensions.end(),
                                        [&](const auto& d) { return d.first == name; });
          // Room is left for the x and trace dimensions.
          if (!seen && set.fixedDimensions.size() + 2 < static_cast<std::size_t>(DataStore::kMaxDimensions))
            set.fixedDimensions.emplace_back(name, static_cast<float>(v));
          return {};
        }
      } else if (wholeNumber(value, v) && (ownExport_ || isDimensionWord(label))) {
        // A number the block is taken at (the export's trace dimension, a temperature).
        block_.coordinateName = raw;
        block_.coordinate = v;
        block_.hasCoordinate = true;
        if (ownExport_) return {};
      }
      addRemark(set, raw + "=" + value);
    }
    return {};
  }

  std::string readData(SpectrumSet& set, const std::string& label, const std::string& value, std::size_t at) {
    const jcamp::DataForm form = jcamp::parseForm(value, label == "XYDATA");
    if (!form.valid)
      return here(at, "the data form " + quoted(value) +
                          " is not one the viewer reads ((X++(Y..Y)), (XY..XY), (XYW..XYW) and the like).");
    jcamp::Scale scale = block_.scale;
    Spectrum spectrum;
    double xScale = 1.0;
    const Ntuples& nt = block_.ntuples;
    if (nt.active) {
      const int xi = nt.index(form.symbols[0]);
      const int yi = nt.index(form.symbols[1]);
      double v = 0.0;
      if (Ntuples::numberAt(nt.factor, xi, v) && v != 0.0) scale.xFactor = v;
      if (Ntuples::numberAt(nt.factor, yi, v) && v != 0.0) scale.yFactor = v;
      if (Ntuples::numberAt(nt.first, xi, v)) scale.firstX = v;
      if (Ntuples::numberAt(nt.last, xi, v)) scale.lastX = v;
      // FIRST of a dependent variable cannot hold for every page, so it is not checked.
      scale.firstY.reset();
      if (scale.points < 0 && Ntuples::numberAt(nt.dims, xi, v) && v >= 0 && v < 1e12)
        scale.points = static_cast<std::int64_t>(v);
      const Quantity xq = quantityOf(Ntuples::textAt(nt.units, xi));
      const std::string xVar = Ntuples::textAt(nt.names, xi);
      spectrum.xName = xq.known ? xq.name : !xVar.empty() ? xVar : xq.name;
      if (xq.known) xScale = xq.scale;
      const Quantity yVar = quantityOf(Ntuples::textAt(nt.names, yi));
      const Quantity yUnit = quantityOf(Ntuples::textAt(nt.units, yi));
      spectrum.property = yVar.known ? yVar.name : !yVar.name.empty() ? yVar.name : yUnit.name;
      if (block_.hasPage) {
        const int pi = nt.index(block_.pageSymbol);
        const std::string pageName = Ntuples::textAt(nt.names, pi);
        spectrum.hasCoordinate = true;
        spectrum.coordinate = static_cast<float>(block_.pageValue);
        if (set.traceDimension == "Trace") {
          const Quantity pq = quantityOf(pageName);
          set.traceDimension = pq.known ? pq.name : !pageName.empty() ? pageName : "Page";
        }
      }
    } else {
      if (!block_.xLabel.empty()) {
        spectrum.xName = block_.xLabel;
      } else {
        const Quantity xq = quantityOf(block_.xUnits);
        spectrum.xName = xq.name;
        xScale = xq.known ? xq.scale : 1.0;
        if (!xq.known && ownExport_) {
          // The export's block titles read "Property over X at specific T".
          const std::size_t over = block_.title.find(" over ");
          if (over != std::string::npos) {
            std::string x = block_.title.substr(over + 6);
            x = x.substr(0, x.find(" at specific "));
            if (!x.empty()) spectrum.xName = x;
          }
        }
      }
      if (!block_.yLabel.empty())
        spectrum.property = block_.yLabel;
      else if (ownExport_ && block_.hasBlockId && !block_.dataType.empty())
        spectrum.property = block_.dataType;
      else
        spectrum.property = quantityOf(block_.yUnits).name;
      if (block_.hasCoordinate) {
        spectrum.hasCoordinate = true;
        spectrum.coordinate = static_cast<float>(block_.coordinate);
        if (set.traceDimension == "Trace") set.traceDimension = dimensionName(block_.coordinateName);
      }
    }
    if (spectrum.xName.empty()) spectrum.xName = "X Data";
    if (spectrum.property.empty()) spectrum.property = "Y Data";
    if (block_.ownTitle && block_.title != set.title && !spectrum.hasCoordinate) spectrum.traceName = block_.title;

    jcamp::Decoded decoded;
    const std::string why = form.stepped ? jcamp::decodeStepped(c_, scale, decoded)
                                         : jcamp::decodeGroups(c_, scale, form.symbols.size(), decoded);
    if (!why.empty()) return why;
    if (xScale != 1.0)
      for (float& x : decoded.x) x = static_cast<float>(x * xScale);
    spectrum.x = std::move(decoded.x);
    spectrum.y = std::move(decoded.y);
    set.spectra.push_back(std::move(spectrum));
    // A page's count is its own.
    if (nt.active) block_.scale.points = -1;
    return {};
  }

  text::TextCursor& c_;
  Block block_;
  bool ownExport_ = false;
  std::unordered_set<std::string> remarksSeen_;
};

}  // namespace

std::string jcampLabel(std::string_view line) {
  if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);  // a UTF-8 byte-order mark
  std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos || line.compare(start, 2, "##") != 0) return {};
  std::string label;
  for (std::size_t i = start + 2; i < line.size() && line[i] != '='; ++i) {
    const char ch = line[i];
    if (ch == ' ' || ch == '\t' || ch == '-' || ch == '_' || ch == '/') continue;
    label.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(ch))));
  }
  return label;
}

std::size_t readJcampPart(DataStore& store, std::istream& in, std::size_t part) {
  store.attributes.cfrCompliant = false;
  SpectrumSet set;
  {
    auto c = text::TextCursor::fromStart(in);
    JcampReader reader(c);
    if (std::string why = reader.read(set); !why.empty()) {
      refuse(in, "JCAMP-DX file: " + why);
      return 0;
    }
  }  // the text is let go before the store's block is allocated
  return fillPart(store, set, part, in, "JCAMP-DX file");
}

void readJcamp(DataStore& store, std::istream& in) { readJcampPart(store, in, 0); }

}  // namespace lumatix::datastore
