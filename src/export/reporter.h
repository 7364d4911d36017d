#pragma once
// How writers tell the person about refusals, warnings and advice without talking to them
// themselves: the GUI shows message boxes, the command line prints.

#include <string>

namespace lumatix::exports {

class Reporter {
 public:
  virtual ~Reporter() = default;
  // A refusal: the writer stops.
  virtual void error(const std::string& text) = 0;
  // A warning: the writer goes on.
  virtual void warning(const std::string& text) = 0;
  // Advice: the writer goes on.
  virtual void information(const std::string& text) = 0;
};

}  // namespace lumatix::exports
