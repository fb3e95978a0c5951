// Pointer confinement on Wayland: the compositor confines the pointer when
// asked through its pointer-constraints protocol (sway, GNOME's mutter and
// KDE's KWin offer it), to a region of the window's surface. Qt 6.4 has no
// call for it, so this talks to the compositor on the connection Qt opened,
// on an event queue of its own so that Qt's event thread never sees our
// objects. The window's surface, the pointer and the compositor come from
// Qt's platform interface.
#include <cstring>

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include "platform/qt/Einsperrung.h"
#include "platform/qt/WaylandSchlange.h"
#include "pointer-constraints-unstable-v1-client-protocol.h"

namespace qmb {

namespace {

template <typename T>
T* ressource(const char* name) {
    auto* schnittstelle = QGuiApplication::platformNativeInterface();
    return schnittstelle ? static_cast<T*>(schnittstelle->nativeResourceForIntegration(name)) : nullptr;
}

class WaylandEinsperrung : public Einsperrung {
public:
    WaylandEinsperrung() {
        anzeige_ = ressource<wl_display>("wl_display");
        if (!anzeige_) return;
        schlange_ = wl_display_create_queue(anzeige_);
        register_ = eigenesRegister(anzeige_, schlange_, &hörer, this);
    }

    ~WaylandEinsperrung() override {
        freigeben();
        if (zwänge_) zwp_pointer_constraints_v1_destroy(zwänge_);
        if (register_) wl_registry_destroy(register_);
        if (anzeige_) wl_display_flush(anzeige_);
        if (schlange_) wl_event_queue_destroy(schlange_);
    }

    QString hinderungsgrund() const override {
        return zwänge_ ? QString()
                       : QStringLiteral("Diese Arbeitsumgebung kann den Mauszeiger nicht im Fenster einsperren.");
    }

    bool festhalten(QWidget* feld) override {
        // One confinement per surface and pointer: a new rectangle replaces the old.
        freigeben();
        if (!zwänge_ || !feld || !feld->window()->windowHandle()) return false;
        QWindow* fenster = feld->window()->windowHandle();
        auto* schnittstelle = QGuiApplication::platformNativeInterface();
        auto* fläche = static_cast<wl_surface*>(schnittstelle->nativeResourceForWindow("surface", fenster));
        auto* zeiger = ressource<wl_pointer>("wl_pointer");
        auto* compositor = ressource<wl_compositor>("compositor");
        if (!fläche || !zeiger || !compositor) return false;
        // The region is in the surface's coordinates, which begin at the
        // outer edge of decorations the client draws itself.
        const QPoint ecke = feld->mapTo(feld->window(), QPoint(0, 0));
        const QMargins rand = fenster->frameMargins();
        wl_region* gebiet = wl_compositor_create_region(compositor);
        wl_region_add(gebiet, ecke.x() + rand.left(), ecke.y() + rand.top(), feld->width(), feld->height());
        // Persistent: leaving the window (another window takes the focus)
        // lifts it, coming back brings it back, as long as the game wants it.
        eingesperrt_ = zwp_pointer_constraints_v1_confine_pointer(zwänge_, fläche, zeiger, gebiet,
                                                                  ZWP_POINTER_CONSTRAINTS_V1_LIFETIME_PERSISTENT);
        wl_region_destroy(gebiet);
        wl_display_flush(anzeige_);
        return true;
    }

    void freigeben() override {
        if (!eingesperrt_) return;
        zwp_confined_pointer_v1_destroy(eingesperrt_);
        eingesperrt_ = nullptr;
        // The compositor's answers (confined, unconfined) are of no use to
        // the game; dispatching drops them.
        wl_display_dispatch_queue_pending(anzeige_, schlange_);
        wl_display_flush(anzeige_);
    }

private:
    static void globalNeu(void* daten, wl_registry* reg, uint32_t name, const char* schnittstelle, uint32_t) {
        auto* selbst = static_cast<WaylandEinsperrung*>(daten);
        if (std::strcmp(schnittstelle, zwp_pointer_constraints_v1_interface.name) == 0 && !selbst->zwänge_)
            selbst->zwänge_ = static_cast<zwp_pointer_constraints_v1*>(
                wl_registry_bind(reg, name, &zwp_pointer_constraints_v1_interface, 1));
    }
    static void globalWeg(void*, wl_registry*, uint32_t) {}
    static constexpr wl_registry_listener hörer{globalNeu, globalWeg};

    wl_display* anzeige_ = nullptr;
    wl_event_queue* schlange_ = nullptr;
    wl_registry* register_ = nullptr;
    zwp_pointer_constraints_v1* zwänge_ = nullptr;
    zwp_confined_pointer_v1* eingesperrt_ = nullptr;
};

} // namespace

std::unique_ptr<Einsperrung> waylandEinsperrung() { return std::make_unique<WaylandEinsperrung>(); }

} // namespace qmb
