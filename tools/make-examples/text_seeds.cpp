// Seeds for the fuzzers of the readers of other programs' text files: each shape those
// readers take, built from numbers here (the JCAMP-DX export's by the export itself).

#include "text_seeds.h"

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "datastore/data_store.h"
#include "export/jcamp_writer.h"
#include "platform/atomic_file.h"

namespace {

using lumatix::datastore::DataStore;
using lumatix::datastore::Dimension;

void save(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  lumatix::platform::AtomicFile file(path.string());
  file.stream() << text;
  file.commit();
}

std::string number(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", v);
  return buffer;
}

// A CD band: negative near 222 nm and 208 nm, as a helix gives.
double helix(double nm) { return -30.0 * std::exp(-std::pow((nm - 222.0) / 8.0, 2)) - 25.0 * std::exp(-std::pow((nm - 208.0) / 6.0, 2)); }

std::string jcampLink() {
  std::string text = "##TITLE= three blocks\n##JCAMP-DX= 5.01\n##DATA TYPE= LINK\n##BLOCKS= 3\n";
  for (int b = 0; b < 2; ++b) {
    text += "##TITLE= Sample " + std::to_string(b + 1) +
            "\n##JCAMP-DX= 5.01\n##DATA TYPE= UV/VIS SPECTRUM\n##XUNITS= NANOMETERS\n##YUNITS= ABSORBANCE\n"
            "##XFACTOR= 1\n##YFACTOR= 0.001\n##FIRSTX= 250\n##LASTX= 259\n##NPOINTS= 10\n##XYDATA= (X++(Y..Y))\n";
    for (int line = 0; line < 2; ++line) {
      text += std::to_string(250 + 5 * line);
      for (int k = 0; k < 5; ++k) text += " " + std::to_string(100 * (b + 1) + 7 * (5 * line + k));
      text += "\n";
    }
    text += "##END=\n";
  }
  text += "##TITLE= peaks\n##XUNITS= 1/CM\n##YUNITS= ABSORBANCE\n##NPOINTS= 3\n##PEAK TABLE= (XYW..XYW)\n"
          "1650, 0.8, 12; 1540, 0.5, 15\n1240 0.2 20\n##END=\n##END=\n";
  return text;
}

std::string jcampNtuples() {
  std::string text =
      "##TITLE= complex spectrum\n##JCAMP-DX= 5.00\n##DATA TYPE= NMR SPECTRUM\n##NTUPLES= NMR SPECTRUM\n"
      "##VAR_NAME= FREQUENCY, SPECTRUM/REAL, SPECTRUM/IMAG, PAGE NUMBER\n##SYMBOL= X, R, I, N\n"
      "##VAR_FORM= AFFN, ASDF, ASDF, AFFN\n##VAR_DIM= 8, 8, 8, 2\n##UNITS= HZ, ARBITRARY UNITS, ARBITRARY UNITS,\n"
      "##FIRST= 0, 0, 0,\n##LAST= 700, 0, 0,\n##FACTOR= 1, 1, 1,\n";
  text += "##PAGE= N=1\n##DATA TABLE= (X++(R..R)), XYDATA\n0A0J0J0J0\n300D0j0j0j0j0\n";
  text += "##PAGE= N=2\n##DATA TABLE= (X++(I..I)), XYDATA\n0@%%%\n300@%%%%\n##END NTUPLES= NMR SPECTRUM\n##END=\n";
  return text;
}

std::string jcampExport() {
  DataStore store("exported melt", 2, 3);
  store.dimensions[0] = Dimension("Wavelength", {240.0f, 230.0f, 220.0f, 210.0f});
  store.dimensions[1] = Dimension("Temperature", {20.0f, 60.0f});
  store.dimensions[2] = Dimension("Cell", {2.0f});
  store.properties[0] = "CircularDichroism";
  store.properties[1] = "HV";
  store.initialise();
  for (std::int32_t i = 0; i < store.data.count; ++i) store.data[i] = static_cast<float>(helix(210.0 + i % 4 * 10));
  std::ostringstream out;
  lumatix::exports::writeJcamp(store, out);
  return out.str();
}

std::string carySamples() {
  std::string text = "\xEF\xBB\xBF" "Baseline,,Sample 1,,Sample 2,,\r\n";
  text += "Wavelength (nm),Abs,Wavelength (nm),Abs,Wavelength (nm),Abs,\r\n";
  for (int i = 0; i < 6; ++i) {
    const int nm = 300 - i;
    text += std::to_string(nm) + "," + number(0.001 * i) + "," + std::to_string(nm) + "," + number(0.5 + 0.01 * i) + ",";
    text += i < 4 ? std::to_string(nm) + "," + number(0.7 - 0.02 * i) + ",\r\n" : ",,\r\n";
  }
  text += ",,,,,,\r\n\r\nBaseline\r\nCollection Time: 1/2/2024 10:00:00 AM\r\n\r\nMethod,,\r\nScan rate (nm/min),600,\r\n";
  return text;
}

std::string spectrometerText(bool decimalComma) {
  auto n = [&](double v) {
    std::string s = number(v);
    if (decimalComma)
      for (char& ch : s)
        if (ch == '.') ch = ',';
    return s;
  };
  std::string text =
      "TITLE\thelical peptide\nDATA TYPE\t\nORIGIN\tspectrometer\nOWNER\t\nDATE\t24/05/12\nTIME\t10:20:30\n"
      "XUNITS\tNANOMETERS\nYUNITS\tCD [mdeg]\nY2UNITS\tHT [V]\nY3UNITS\tABSORBANCE\nFIRSTX\t" +
      n(250) + "\nLASTX\t" + n(200) + "\nNPOINTS\t11\nXYDATA\n";
  for (int i = 0; i <= 10; ++i) {
    const double nm = 250 - 5 * i;
    text += n(nm) + "\t" + n(helix(nm)) + "\t" + n(250 + 2.5 * i) + "\t" + n(0.1 + 0.01 * i) + "\n";
  }
  text += "\n##### Extended Information\n[Comments]\nSample name\tpeptide\n[Detailed Information]\nBandwidth\t1 nm\n";
  return text;
}

std::string spectrometerTable() {
  std::string text = "TITLE,melt\nXUNITS,NANOMETERS\nYUNITS,CD [mdeg]\nY2UNITS,Temperature [C]\nXYDATA\n,20,50,80\n";
  for (int i = 0; i < 5; ++i) {
    const double nm = 230 - 5 * i;
    text += number(nm) + "," + number(helix(nm)) + "," + number(0.6 * helix(nm)) + "," + number(0.2 * helix(nm)) + "\n";
  }
  return text;
}

std::string columnsWithMetadata() {
  std::string text = "Data from probe.txt Node\n\nIntegration Time (sec): 0.1\nNumber of Pixels in Spectrum: 8\n"
                     ">>>>>Begin Spectral Data<<<<<\nWavelength (nm);Intensity\n";
  for (int i = 0; i < 8; ++i) text += number(400 + 0.37 * i) + ";" + number(1000 + 13.5 * i) + "\n";
  text += ">>>>>End Spectral Data<<<<<\n";
  for (char& ch : text)
    if (ch == '.') ch = ',';
  return text;
}

std::string columnsBlank() {
  std::string text = "# time  abs1  abs2\n";
  for (int i = 0; i < 12; ++i)
    text += "  " + number(0.01 * i) + "   " + number(1 - std::exp(-0.3 * i)) + "   " + number(std::exp(-0.2 * i)) + "\n";
  return text;
}

}  // namespace

void writeTextSeeds(const std::filesystem::path& dir) {
  const std::string link = jcampLink(), ntuples = jcampNtuples(), exported = jcampExport();
  save(dir / "jcamp" / "link.jdx", link);
  save(dir / "jcamp" / "ntuples.jdx", ntuples);
  save(dir / "jcamp" / "export_melt.jdx", exported);
  std::string crOnly = link;
  for (char& ch : crOnly)
    if (ch == '\n') ch = '\r';
  save(dir / "jcamp" / "carriage_returns.jdx", crOnly);
  save(dir / "cary" / "samples.csv", carySamples());
  save(dir / "spectrometer_text" / "cd.txt", spectrometerText(false));
  save(dir / "spectrometer_text" / "cd_decimal_comma.txt", spectrometerText(true));
  save(dir / "spectrometer_text" / "table.csv", spectrometerTable());
  save(dir / "columns" / "metadata.txt", columnsWithMetadata());
  save(dir / "columns" / "blanks.txt", columnsBlank());
  save(dir / "load" / "link.jdx", link);
  save(dir / "load" / "cary_samples.csv", carySamples());
  save(dir / "load" / "spectrometer.txt", spectrometerText(true));
  save(dir / "load" / "columns.txt", columnsWithMetadata());
}
