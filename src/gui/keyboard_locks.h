#pragma once
// The keyboard's lock states as the window system reports them: read through XKB when the
// viewer runs on X11; nullopt on other platforms (Wayland, offscreen), which do not say.

#include <optional>

#include "widgets/lock_indicators.h"

namespace lumatix::gui {

std::optional<widgets::LockState> readKeyboardLocks();

}  // namespace lumatix::gui
