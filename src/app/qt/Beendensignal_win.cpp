// End requests on Windows: a program with windows gets no signals; at log-off
// or shut-down its windows get WM_ENDSESSION, after which Windows may end the
// process at any moment. The game is ended right there, on the event loop's
// thread, as the signals do it on POSIX.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>

#include "app/qt/Beendensignal.h"

namespace qmb {
namespace {

class Sitzungsende : public QAbstractNativeEventFilter {
public:
    explicit Sitzungsende(std::function<void()> beenden) : beenden_(std::move(beenden)) {}
    bool nativeEventFilter(const QByteArray& art, void* nachricht, qintptr*) override {
        if (art != "windows_generic_MSG" || !beenden_) return false;
        const MSG* m = static_cast<const MSG*>(nachricht);
        if (m->message == WM_ENDSESSION && m->wParam) {
            const auto beenden = std::move(beenden_);
            beenden_ = nullptr; // once, whichever window hears it first
            beenden();
        }
        return false;
    }

private:
    std::function<void()> beenden_;
};

} // namespace

void beiBeendenSignal(std::function<void()> beenden) {
    static Sitzungsende* filter = nullptr;
    if (filter) return;
    filter = new Sitzungsende(std::move(beenden));
    QCoreApplication::instance()->installNativeEventFilter(filter);
}

} // namespace qmb
