#pragma once
// Messages the person may tick "Do not show this message again" on: their keys, and where the
// preferences remember the choice ("Preferences\Messages", one integer per key, 1 = not shown).

#include <string>

namespace lumatix::platform {
class SettingsStore;
}

namespace lumatix::app {

inline constexpr const char* kMessagesSection = "Preferences\\Messages";

// The key of a piece of writer advice the person may silence, "" for any other text (which is
// always shown).
std::string adviceKey(const std::string& text);

bool adviceSilenced(const platform::SettingsStore& settings, const std::string& key);
// Throws std::runtime_error when the preferences cannot be written.
void silenceAdvice(platform::SettingsStore& settings, const std::string& key);

}  // namespace lumatix::app
