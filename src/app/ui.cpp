#include "app/ui.h"

namespace lumatix::app {

Answer Ui::showAdvice(const std::string&, const std::string& text, const std::string& caption) {
  return showMessage(text, caption, Icon::Information, Buttons::Ok);
}

void Ui::progress(const std::string&, double) {}

}  // namespace lumatix::app
