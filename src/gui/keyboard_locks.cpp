#include "gui/keyboard_locks.h"

#include <QGuiApplication>

#ifdef LUMATIX_HAVE_XKB
#include <QtGui/qguiapplication_platform.h>
#include <X11/XKBlib.h>
#endif

namespace lumatix::gui {

std::optional<widgets::LockState> readKeyboardLocks() {
#if defined(LUMATIX_HAVE_XKB) && QT_CONFIG(xcb)
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (display == nullptr) return std::nullopt;
  // Named indicators, because the bit of each lock in the indicator mask depends on the keymap.
  auto lit = [display](const char* name, bool& on) {
    Atom atom = XInternAtom(display, name, True);
    Bool state = False;
    if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr)) return false;
    on = state == True;
    return true;
  };
  widgets::LockState locks;
  if (!lit("Caps Lock", locks.caps) || !lit("Num Lock", locks.num)) return std::nullopt;
  lit("Scroll Lock", locks.scroll);  // many keymaps have no scroll lock: it shows as off
  return locks;
#else
  return std::nullopt;
#endif
}

}  // namespace lumatix::gui
