#pragma once
// The writers' Reporter shown through the Ui: refusals as error boxes, warnings as warning
// boxes, advice as information boxes, all with the common caption.

#include "app/ui.h"
#include "export/dispatcher.h"

namespace lumatix::app {

class UiReporter : public exports::Reporter {
 public:
  explicit UiReporter(Ui& ui) : ui_(ui) {}
  void error(const std::string& text) override;
  void warning(const std::string& text) override;
  void information(const std::string& text) override;

 private:
  Ui& ui_;
};

}  // namespace lumatix::app
