#include "app/ui.h"

namespace lumatix::app {

void Ui::progress(const std::string&, double) {}

}  // namespace lumatix::app
