#include "app/message_preferences.h"

#include "platform/settings_store.h"

namespace lumatix::app {

std::string adviceKey(const std::string& text) {
  // The CDNN writer's advice comes with every export of a spectrum that stops above 190 nm.
  if (text.rfind("For best results, the wavelength range should start at", 0) == 0) return "CdnnWavelengthRange";
  return "";
}

bool adviceSilenced(const platform::SettingsStore& settings, const std::string& key) {
  return !key.empty() && settings.getInt(kMessagesSection, key, 0) > 0;
}

void silenceAdvice(platform::SettingsStore& settings, const std::string& key) {
  if (!key.empty()) settings.setInt(kMessagesSection, key, 1);
}

}  // namespace lumatix::app
