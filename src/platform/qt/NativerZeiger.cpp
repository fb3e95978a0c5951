// Pointer confinement with the platform's own calls: a grab on X11,
// ClipCursor on Windows. Kept apart from every other Qt source: Xlib and
// windows.h define macros (None, Bool, Status, min, max) that clash with Qt.
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QWidget>

#include "platform/qt/QtZeiger.h"

#if defined(QUAMBEL_X11)
#include <X11/Xlib.h>
#elif defined(Q_OS_WIN)
#include <windows.h>
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
#elif defined(Q_OS_WIN)
// Windows confines the pointer itself, to a rectangle in physical screen
// pixels: the client area of the playfield's own window, as Windows sees it.
// Logical coordinates times one pixel ratio are wrong on a second monitor
// with another scale.
bool zeigerFesthalten(QWidget* feld) {
    if (!feld) return false;
    const HWND fenster = reinterpret_cast<HWND>(feld->winId());
    RECT r;
    if (!::GetClientRect(fenster, &r)) return false;
    POINT oben{r.left, r.top}, unten{r.right, r.bottom};
    if (!::ClientToScreen(fenster, &oben) || !::ClientToScreen(fenster, &unten)) return false;
    const RECT bildschirm{oben.x, oben.y, unten.x, unten.y};
    return ::ClipCursor(&bildschirm) != 0;
}

void zeigerFreigeben() { ::ClipCursor(nullptr); }
#else
// Elsewhere (Wayland without X, the offscreen platform) there is nothing to
// confine to; the game plays on without it.
bool zeigerFesthalten(QWidget*) { return false; }
void zeigerFreigeben() {}
#endif

} // namespace qmb
