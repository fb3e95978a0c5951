// Pointer confinement on X11: a pointer grab confined to the playfield's own
// native window (a grab confined to the top level would include the menu
// bar). Kept apart from the Qt sources: Xlib's macros (None, Bool, Status)
// clash with Qt's names.
#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include "platform/qt/Einsperrung.h"

#include <X11/Xlib.h>

namespace qmb {

namespace {

Display* anzeige() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    // Under the offscreen platform the interface exists but has no display.
    return x11 ? x11->display() : nullptr;
}

class X11Einsperrung : public Einsperrung {
public:
    bool brauchtEigenesFenster() const override { return true; }

    bool festhalten(QWidget* feld) override {
        Display* d = anzeige();
        if (!d || !feld) return false;
        const auto fenster = static_cast<Window>(feld->winId());
        const int ergebnis = XGrabPointer(d, fenster, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                                          GrabModeAsync, GrabModeAsync, fenster, 0L, CurrentTime);
        XFlush(d);
        return ergebnis == GrabSuccess;
    }

    void freigeben() override {
        Display* d = anzeige();
        if (!d) return;
        XUngrabPointer(d, CurrentTime);
        XFlush(d);
    }
};

} // namespace

std::unique_ptr<Einsperrung> x11Einsperrung() { return std::make_unique<X11Einsperrung>(); }

} // namespace qmb
