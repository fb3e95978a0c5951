// Pointer grab on X11. Kept apart from every other Qt source: Xlib defines
// macros such as None, Bool and Status that clash with Qt's names.
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QWidget>

#include "platform/qt/QtZeiger.h"

#if defined(QUAMBEL_X11)
#include <X11/Xlib.h>
#endif

namespace qmb {

#if defined(QUAMBEL_X11)
namespace {
Display* anzeige() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    // Under the offscreen platform the interface exists but has no display.
    return x11 ? x11->display() : nullptr;
}
} // namespace

bool zeigerFesthalten(QWidget* feld) {
    Display* d = anzeige();
    if (!d || !feld) return false;
    const auto fenster = static_cast<Window>(feld->winId());
    const int ergebnis =
        XGrabPointer(d, fenster, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, fenster, 0L, CurrentTime);
    XFlush(d);
    return ergebnis == GrabSuccess;
}

void zeigerFreigeben() {
    Display* d = anzeige();
    if (!d) return;
    XUngrabPointer(d, CurrentTime);
    XFlush(d);
}
#else
bool zeigerFesthalten(QWidget*) { return false; }
void zeigerFreigeben() {}
#endif

} // namespace qmb
