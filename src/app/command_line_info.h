#pragma once
// The viewer's command line: the flags "OnLine", "SuppressBlank" and "mi" and a file to open.

#include <string>
#include <vector>

namespace lumatix::app {

class CKVCommandLineInfo {
 public:
  // Parses the arguments after the program name. A flag is written with a leading "-" or
  // "/" and compared exactly, case and all; unknown flags are ignored. Because absolute
  // paths start with "/" here, "/" introduces a flag only for a known flag name; any other
  // argument is the file to open (the last one wins).
  static CKVCommandLineInfo parse(const std::vector<std::string>& args);
  static CKVCommandLineInfo parse(int argc, const char* const argv[]);

  bool onLine = false;          // "OnLine": go on-line to the local instrument server after start-up
  bool suppressBlank = false;   // "SuppressBlank": accepted, nothing depends on it
  bool multiInstance = false;   // "mi": skip the single-instance rule
  std::string fileName;         // empty: a new, empty launch pad
};

}  // namespace lumatix::app
