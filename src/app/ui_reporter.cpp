#include "app/ui_reporter.h"

#include "app/message_preferences.h"
#include "platform/build_info.h"

namespace lumatix::app {

void UiReporter::error(const std::string& text) {
  ui_.showMessage(text, platform::kProductName, Icon::Error, Buttons::Ok);
}

void UiReporter::warning(const std::string& text) {
  ui_.showMessage(text, platform::kProductName, Icon::Warning, Buttons::Ok);
}

void UiReporter::information(const std::string& text) {
  ui_.showAdvice(adviceKey(text), text, platform::kProductName);
}

}  // namespace lumatix::app
