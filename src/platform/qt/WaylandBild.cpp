// The playfield's own surface on Wayland (see Bildflaeche.h): a subsurface
// of the window's surface, at the playfield's place, fed from shared-memory
// buffers of our own. It takes no input (an empty input region): the pointer
// still reaches the window and so the playfield widget beneath. Our objects
// live on an event queue of their own on Qt's connection, as in
// WaylandZeiger.cpp, so that Qt's event thread never dispatches them.
#include <cmath>
#include <cstring>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include "platform/qt/Bildflaeche.h"
#include "platform/qt/WaylandSchlange.h"

namespace qmb {

namespace {

class WaylandBildfläche : public Bildfläche {
public:
    WaylandBildfläche(QWidget* widget, Malen malen) : widget_(widget), malen_(std::move(malen)) {
        auto* schnittstelle = QGuiApplication::platformNativeInterface();
        if (!schnittstelle) return;
        anzeige_ = static_cast<wl_display*>(schnittstelle->nativeResourceForIntegration("wl_display"));
        compositor_ = static_cast<wl_compositor*>(schnittstelle->nativeResourceForIntegration("compositor"));
        if (!anzeige_ || !compositor_) return;
        puffer_.reserve(3);
        schlange_ = wl_display_create_queue(anzeige_);
        register_ = eigenesRegister(anzeige_, schlange_, &registerHörer, this);
    }

    ~WaylandBildfläche() override {
        if (!anzeige_) return;
        pufferFreigeben();
        if (unter_) wl_subsurface_destroy(unter_);
        if (fläche_) wl_surface_destroy(fläche_);
        if (shm_) wl_shm_destroy(shm_);
        if (unterCompositor_) wl_subcompositor_destroy(unterCompositor_);
        if (register_) wl_registry_destroy(register_);
        wl_display_flush(anzeige_);
        wl_event_queue_destroy(schlange_);
    }

    bool brauchbar() const { return shm_ && unterCompositor_; }
    bool sichtbar() const override { return sichtbar_; }

    bool zeigen(const QRegion& bereich) override {
        if (!brauchbar() || (!fläche_ && !anlegen())) return false;
        hinlegen();
        // Released buffers are known once their events are dispatched.
        wl_display_dispatch_queue_pending(anzeige_, schlange_);
        const int maßstab = std::max(1, static_cast<int>(std::ceil(widget_->devicePixelRatioF())));
        const QSize größe = widget_->size();
        if (größe != größe_ || maßstab != maßstab_) {
            pufferFreigeben();
            größe_ = größe;
            maßstab_ = maßstab;
            wl_surface_set_buffer_scale(fläche_, maßstab);
        }
        // Every buffer misses what changed since it was last shown.
        for (Puffer& p : puffer_) p.offen += bereich;
        Puffer* frei = freierPuffer();
        if (!frei && puffer_.size() < 3) frei = neuerPuffer();
        if (!frei) {
            // All three still held: the compositor has let one go by now
            // (it keeps only the one on screen), its word may just not
            // have been read yet. One round trip brings it.
            wl_display_roundtrip_queue(anzeige_, schlange_);
            frei = freierPuffer();
        }
        if (!frei) return false;

        const QRegion neu = frei->offen & QRect(QPoint(0, 0), größe_);
        frei->offen = QRegion();
        {
            QPainter maler(&frei->bild);
            malen_(maler, neu);
        }
        wl_surface_attach(fläche_, frei->puffer, 0, 0);
        for (const QRect& r : neu) wl_surface_damage(fläche_, r.x(), r.y(), r.width(), r.height());
        wl_surface_commit(fläche_);
        wl_display_flush(anzeige_);
        frei->belegt = true;
        sichtbar_ = true;
        return true;
    }

    void verbergen() override {
        if (!fläche_ || !sichtbar_) return;
        wl_surface_attach(fläche_, nullptr, 0, 0);
        wl_surface_commit(fläche_);
        wl_display_flush(anzeige_);
        sichtbar_ = false;
        // Shown again, it starts from a whole picture.
        for (Puffer& p : puffer_) p.offen = QRect(QPoint(0, 0), größe_);
    }

private:
    struct Puffer {
        wl_buffer* puffer = nullptr;
        void* daten = nullptr;
        size_t bytes = 0;
        QImage bild;
        QRegion offen;
        bool belegt = false;
    };

    bool anlegen() {
        QWindow* fenster = widget_->window()->windowHandle();
        auto* schnittstelle = QGuiApplication::platformNativeInterface();
        auto* eltern =
            fenster ? static_cast<wl_surface*>(schnittstelle->nativeResourceForWindow("surface", fenster)) : nullptr;
        if (!eltern) return false;
        auto* hülle = static_cast<wl_compositor*>(wl_proxy_create_wrapper(compositor_));
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(hülle), schlange_);
        fläche_ = wl_compositor_create_surface(hülle);
        wl_proxy_wrapper_destroy(hülle);
        wl_region* keine = wl_compositor_create_region(compositor_);
        wl_surface_set_input_region(fläche_, keine);
        wl_region_destroy(keine);
        unter_ = wl_subcompositor_get_subsurface(unterCompositor_, fläche_, eltern);
        wl_subsurface_set_desync(unter_);
        return true;
    }

    Puffer* freierPuffer() {
        for (Puffer& p : puffer_)
            if (!p.belegt) return &p;
        return nullptr;
    }

    // The surface lies over the widget, wherever the window's layout puts
    // it (the playfield moves as the window is resized). The place is the
    // parent's state: it takes effect with the window's next commit, which
    // the repaint asked for here brings.
    void hinlegen() {
        QWindow* fenster = widget_->window()->windowHandle();
        if (!fenster) return;
        const QPoint ort = widget_->mapTo(widget_->window(), QPoint(0, 0)) +
                           QPoint(fenster->frameMargins().left(), fenster->frameMargins().top());
        if (ort == ort_) return;
        ort_ = ort;
        wl_subsurface_set_position(unter_, ort.x(), ort.y());
        widget_->update(QRect(0, 0, 1, 1));
    }

    Puffer* neuerPuffer() {
        const int breite = größe_.width() * maßstab_;
        const int höhe = größe_.height() * maßstab_;
        const int zeile = breite * 4;
        const size_t bytes = static_cast<size_t>(zeile) * static_cast<size_t>(höhe);
        const int fd = memfd_create("quambel-spielfeld", MFD_CLOEXEC);
        if (fd < 0) return nullptr;
        if (ftruncate(fd, static_cast<off_t>(bytes)) != 0) {
            close(fd);
            return nullptr;
        }
        void* daten = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (daten == MAP_FAILED) {
            close(fd);
            return nullptr;
        }
        wl_shm_pool* becken = wl_shm_create_pool(shm_, fd, static_cast<int32_t>(bytes));
        wl_buffer* puffer = wl_shm_pool_create_buffer(becken, 0, breite, höhe, zeile, WL_SHM_FORMAT_XRGB8888);
        wl_shm_pool_destroy(becken);
        close(fd);
        Puffer p;
        p.puffer = puffer;
        p.daten = daten;
        p.bytes = bytes;
        p.bild = QImage(static_cast<uchar*>(daten), breite, höhe, zeile, QImage::Format_RGB32);
        p.bild.setDevicePixelRatio(maßstab_);
        p.offen = QRect(QPoint(0, 0), größe_);
        puffer_.push_back(std::move(p));
        // The vector's elements stay put: it holds three at most, reserved.
        wl_buffer_add_listener(puffer, &pufferHörer, &puffer_.back());
        return &puffer_.back();
    }

    void pufferFreigeben() {
        for (Puffer& p : puffer_) {
            wl_buffer_destroy(p.puffer);
            munmap(p.daten, p.bytes);
        }
        puffer_.clear();
        puffer_.reserve(3);
    }

    static void globalNeu(void* daten, wl_registry* reg, uint32_t name, const char* schnittstelle, uint32_t) {
        auto* selbst = static_cast<WaylandBildfläche*>(daten);
        if (std::strcmp(schnittstelle, wl_shm_interface.name) == 0 && !selbst->shm_)
            selbst->shm_ = static_cast<wl_shm*>(wl_registry_bind(reg, name, &wl_shm_interface, 1));
        else if (std::strcmp(schnittstelle, wl_subcompositor_interface.name) == 0 && !selbst->unterCompositor_)
            selbst->unterCompositor_ =
                static_cast<wl_subcompositor*>(wl_registry_bind(reg, name, &wl_subcompositor_interface, 1));
    }
    static void globalWeg(void*, wl_registry*, uint32_t) {}
    static void freigegeben(void* daten, wl_buffer*) { static_cast<Puffer*>(daten)->belegt = false; }
    static constexpr wl_registry_listener registerHörer{globalNeu, globalWeg};
    static constexpr wl_buffer_listener pufferHörer{freigegeben};

    QWidget* widget_;
    Malen malen_;
    wl_display* anzeige_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    wl_event_queue* schlange_ = nullptr;
    wl_registry* register_ = nullptr;
    wl_shm* shm_ = nullptr;
    wl_subcompositor* unterCompositor_ = nullptr;
    wl_surface* fläche_ = nullptr;
    wl_subsurface* unter_ = nullptr;
    std::vector<Puffer> puffer_;
    QSize größe_;
    QPoint ort_{-1, -1};
    int maßstab_ = 1;
    bool sichtbar_ = false;
};

} // namespace

std::unique_ptr<Bildfläche> waylandBildfläche(QWidget* widget, Bildfläche::Malen malen) {
    auto fläche = std::make_unique<WaylandBildfläche>(widget, std::move(malen));
    if (!fläche->brauchbar()) return nullptr;
    return fläche;
}

} // namespace qmb
