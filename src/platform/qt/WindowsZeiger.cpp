// Pointer confinement on Windows: Windows clips the pointer itself, to a
// rectangle in physical screen pixels, the client area of the playfield's
// own window as Windows sees it. (Logical coordinates times one pixel ratio
// are wrong on a second monitor with another scale.) Kept apart from the Qt
// sources: windows.h defines min, max and more.
#include <QWidget>

#include "platform/qt/Einsperrung.h"

#include <windows.h>

namespace qmb {

namespace {

class WindowsEinsperrung : public Einsperrung {
public:
    bool brauchtEigenesFenster() const override { return true; }

    bool festhalten(QWidget* feld) override {
        if (!feld) return false;
        const HWND fenster = reinterpret_cast<HWND>(feld->winId());
        RECT r;
        if (!::GetClientRect(fenster, &r)) return false;
        POINT oben{r.left, r.top}, unten{r.right, r.bottom};
        if (!::ClientToScreen(fenster, &oben) || !::ClientToScreen(fenster, &unten)) return false;
        const RECT bildschirm{oben.x, oben.y, unten.x, unten.y};
        return ::ClipCursor(&bildschirm) != 0;
    }

    void freigeben() override { ::ClipCursor(nullptr); }
};

} // namespace

std::unique_ptr<Einsperrung> windowsEinsperrung() { return std::make_unique<WindowsEinsperrung>(); }

} // namespace qmb
