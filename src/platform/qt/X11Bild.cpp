// The playfield's own surface on X11 (see Bildflaeche.h): a child window of
// the playfield's native window, fed from one shared-memory image of ours.
//
// Qt's backing store sends a frame to the X server as one request per
// rectangle of its region. The server may serve another client between two
// of them (a compositor, a screen recorder), which then sees a frame half
// on the screen: a ball erased at its old place and not yet drawn at its
// new one, or cut in two. Here a frame reaches the window in one request:
// the region is the clip, one put copies its bounding rectangle, so every
// reader sees the whole frame before or after, never a part of it.
//
// The server must have read the image before the next frame is painted into
// it. Waiting for that with a round trip before each frame cost an eighth
// of the game's time: the main thread blocked until Qt's event thread had
// read the answer and woken it. Instead a request that is answered follows
// each put, and its answer, read by Qt's event thread in passing while the
// frame is on its way, is only looked for before the next frame; the wait
// remains for a server that has not caught up by then.
//
// The window selects no input: pointer events go on to the playfield's
// window beneath, and with them the pointer grab and the cursor. It asks
// for exposures only, to paint itself whole again when uncovered. Kept apart
// from the Qt sources like X11Zeiger.cpp: Xlib's macros clash with Qt's names.
#include <cmath>
#include <cstdlib>
#include <vector>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include "platform/qt/Bildflaeche.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

namespace qmb {

namespace {

QNativeInterface::QX11Application* x11() {
    return qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
}

// Attaching shared memory fails on a display across the network; Qt's
// handler would swallow the error, so it is caught here for that one call.
bool anhängenFehlgeschlagen = false;
int anhängenFehler(Display*, XErrorEvent*) {
    anhängenFehlgeschlagen = true;
    return 0;
}

class X11Bildfläche : public Bildfläche, public QAbstractNativeEventFilter {
public:
    X11Bildfläche(QWidget* widget, Malen malen)
        : widget_(widget), malen_(std::move(malen)), d_(x11() ? x11()->display() : nullptr),
          c_(x11() ? x11()->connection() : nullptr) {
        int major = 0, minor = 0;
        Bool pixmaps = 0;
        if (!d_ || !c_ || !XShmQueryVersion(d_, &major, &minor, &pixmaps)) {
            d_ = nullptr;
            return;
        }
        if (anlegen()) passendesBild();
    }

    ~X11Bildfläche() override {
        if (!d_) return;
        if (fenster_) QCoreApplication::instance()->removeNativeEventFilter(this);
        bildFreigeben();
        if (gc_) XFreeGC(d_, gc_);
        if (fenster_) XDestroyWindow(d_, fenster_);
        XFlush(d_);
    }

    // Usable once the window and a first image exist: without shared memory
    // with the server (a display across the network) Qt paints as before.
    bool brauchbar() const { return bild_ != nullptr; }
    bool sichtbar() const override { return sichtbar_; }

    bool zeigen(const QRegion& bereich) override {
        if (!fenster_) return false;
        if (!passendesBild()) {
            // No image for the new size: off the screen, so that the widget
            // beneath paints the frames until one can be made.
            verbergen();
            return false;
        }
        if (!sichtbar_) {
            XMapWindow(d_, fenster_);
            sichtbar_ = true;
            offen_ = widget_->rect();
        }
        abwarten();
        const qreal dpr = dpr_;
        const QRegion neu = (offen_ + bereich) & widget_->rect();
        offen_ = QRegion();
        if (neu.isEmpty()) return true;
        {
            QPainter maler(&qbild_);
            malen_(maler, neu);
        }
        std::vector<XRectangle> stücke;
        QRect grenzen;
        const QRect ganz(QPoint(0, 0), größe_);
        for (const QRect& r : neu) {
            const QRect g = QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr).toAlignedRect() & ganz;
            stücke.push_back({static_cast<short>(g.x()), static_cast<short>(g.y()),
                              static_cast<unsigned short>(g.width()), static_cast<unsigned short>(g.height())});
            grenzen |= g;
        }
        XSetClipRectangles(d_, gc_, 0, 0, stücke.data(), static_cast<int>(stücke.size()), Unsorted);
        XShmPutImage(d_, fenster_, gc_, bild_, grenzen.x(), grenzen.y(), grenzen.x(), grenzen.y(),
                     static_cast<unsigned>(grenzen.width()), static_cast<unsigned>(grenzen.height()), False);
        // Sent through xcb, the request goes after everything Xlib holds.
        antwort_ = xcb_get_input_focus(c_);
        xcb_flush(c_);
        ausstehend_ = true;
        return true;
    }

    void verbergen() override {
        if (!fenster_ || !sichtbar_) return;
        XUnmapWindow(d_, fenster_);
        XFlush(d_);
        sichtbar_ = false;
    }

    // Uncovered parts of the window (no compositor keeps them) are painted
    // again from the frame last shown, once the last exposure has come.
    bool nativeEventFilter(const QByteArray& art, void* nachricht, qintptr*) override {
        if (art != "xcb_generic_event_t") return false;
        const auto* ereignis = static_cast<const xcb_generic_event_t*>(nachricht);
        if ((ereignis->response_type & 0x7f) != XCB_EXPOSE) return false;
        const auto* aufgedeckt = static_cast<const xcb_expose_event_t*>(nachricht);
        if (aufgedeckt->window != fenster_) return false;
        if (aufgedeckt->count == 0 && sichtbar_) zeigen(widget_->rect());
        return true;
    }

private:
    // Returns once the server has served the last put, and so is done
    // reading the image.
    void abwarten() {
        if (!ausstehend_) return;
        ausstehend_ = false;
        void* antwort = nullptr;
        xcb_generic_error_t* fehler = nullptr;
        if (xcb_poll_for_reply(c_, antwort_.sequence, &antwort, &fehler) == 0)
            antwort = xcb_get_input_focus_reply(c_, antwort_, &fehler);
        free(antwort);
        free(fehler);
    }

    bool anlegen() {
        const auto eltern = static_cast<Window>(widget_->winId());
        XWindowAttributes art;
        if (!eltern || !XGetWindowAttributes(d_, eltern, &art)) return false;
        visual_ = art.visual;
        tiefe_ = art.depth;
        // The image is painted as Qt's 32-bit RGB, byte for byte what a
        // 24- or 32-bit TrueColor visual with the usual masks takes.
        if ((tiefe_ != 24 && tiefe_ != 32) || visual_->red_mask != 0xff0000 || visual_->green_mask != 0xff00 ||
            visual_->blue_mask != 0xff)
            return false;
        XSetWindowAttributes werte{};
        werte.background_pixmap = 0; // nothing: the window keeps what lies beneath until painted
        werte.event_mask = ExposureMask;
        werte.colormap = art.colormap;
        werte.border_pixel = 0;
        fenster_ = XCreateWindow(d_, eltern, 0, 0, 1, 1, 0, tiefe_, InputOutput, visual_,
                                 CWBackPixmap | CWEventMask | CWColormap | CWBorderPixel, &werte);
        gc_ = XCreateGC(d_, fenster_, 0, nullptr);
        QCoreApplication::instance()->installNativeEventFilter(this);
        return true;
    }

    // An image of the playfield's size in device pixels, made anew when the
    // window is resized or moves to a screen of another scale.
    bool passendesBild() {
        const qreal dpr = widget_->devicePixelRatioF();
        const QSize größe(static_cast<int>(std::ceil(widget_->width() * dpr)),
                          static_cast<int>(std::ceil(widget_->height() * dpr)));
        if (bild_ && größe == größe_ && dpr == dpr_) return true;
        bildFreigeben();
        größe_ = größe;
        dpr_ = dpr;
        if (!bildAnlegen()) return false;
        XResizeWindow(d_, fenster_, static_cast<unsigned>(größe.width()), static_cast<unsigned>(größe.height()));
        offen_ = widget_->rect();
        return true;
    }

    bool bildAnlegen() {
        bild_ = XShmCreateImage(d_, visual_, static_cast<unsigned>(tiefe_), ZPixmap, nullptr, &shm_,
                                static_cast<unsigned>(größe_.width()), static_cast<unsigned>(größe_.height()));
        if (!bild_) return false;
        const size_t bytes = static_cast<size_t>(bild_->bytes_per_line) * static_cast<size_t>(bild_->height);
        shm_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (shm_.shmid < 0) return bildAufgeben();
        shm_.shmaddr = bild_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
        if (shm_.shmaddr == reinterpret_cast<char*>(-1)) {
            shm_.shmaddr = bild_->data = nullptr;
            shmctl(shm_.shmid, IPC_RMID, nullptr);
            return bildAufgeben();
        }
        shm_.readOnly = False;
        anhängenFehlgeschlagen = false;
        XSync(d_, False);
        auto vorher = XSetErrorHandler(anhängenFehler);
        XShmAttach(d_, &shm_);
        XSync(d_, False);
        XSetErrorHandler(vorher);
        // Marked for removal at once: the segment goes when both sides have
        // let go of it, also if the program dies.
        shmctl(shm_.shmid, IPC_RMID, nullptr);
        if (anhängenFehlgeschlagen) {
            shmdt(shm_.shmaddr);
            shm_.shmaddr = bild_->data = nullptr;
            return bildAufgeben();
        }
        angehängt_ = true;
        qbild_ = QImage(reinterpret_cast<uchar*>(bild_->data), größe_.width(), größe_.height(), bild_->bytes_per_line,
                        QImage::Format_RGB32);
        qbild_.setDevicePixelRatio(dpr_);
        return true;
    }

    bool bildAufgeben() {
        XDestroyImage(bild_);
        bild_ = nullptr;
        return false;
    }

    void bildFreigeben() {
        if (!bild_) return;
        abwarten();
        qbild_ = QImage();
        if (angehängt_) {
            XShmDetach(d_, &shm_);
            XSync(d_, False);
            angehängt_ = false;
        }
        shmdt(shm_.shmaddr);
        bild_->data = nullptr;
        XDestroyImage(bild_);
        bild_ = nullptr;
    }

    QWidget* widget_;
    Malen malen_;
    Display* d_;
    xcb_connection_t* c_;
    xcb_get_input_focus_cookie_t antwort_{};
    Window fenster_ = 0;
    GC gc_ = nullptr;
    Visual* visual_ = nullptr;
    int tiefe_ = 0;
    XImage* bild_ = nullptr;
    XShmSegmentInfo shm_{};
    bool angehängt_ = false;
    QImage qbild_;
    QSize größe_;
    qreal dpr_ = 1;
    QRegion offen_;
    bool sichtbar_ = false;
    bool ausstehend_ = false;
};

} // namespace

std::unique_ptr<Bildfläche> x11Bildfläche(QWidget* widget, Bildfläche::Malen malen) {
    auto fläche = std::make_unique<X11Bildfläche>(widget, std::move(malen));
    if (!fläche->brauchbar()) return nullptr;
    return fläche;
}

} // namespace qmb
