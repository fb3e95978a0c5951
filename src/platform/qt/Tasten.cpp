#include "platform/qt/Tasten.h"

#include <utility>

#include <QCoreApplication>

namespace qmb {

Wiederholungen::Wiederholungen(QObject* eltern) : QObject(eltern) {
    warten_.setSingleShot(true);
    warten_.setInterval(WARTEZEIT_MS);
    connect(&warten_, &QTimer::timeout, this, &Wiederholungen::loslassen);
    qApp->installEventFilter(this);
}

void Wiederholungen::senden(QWindow* fenster, QKeyEvent& e) {
    QEvent* vorher = std::exchange(eigenes_, &e);
    QCoreApplication::sendEvent(fenster, &e);
    eigenes_ = vorher;
}

void Wiederholungen::loslassen() {
    warten_.stop();
    const std::unique_ptr<QKeyEvent> r = std::move(zurück_);
    if (r && fenster_) senden(fenster_, *r);
}

bool Wiederholungen::eventFilter(QObject* objekt, QEvent* e) {
    const QEvent::Type t = e->type();
    if ((t != QEvent::KeyPress && t != QEvent::KeyRelease) || e == eigenes_) return false;
    auto* fenster = qobject_cast<QWindow*>(objekt);
    if (!fenster) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    if (zurück_) {
        if (t == QEvent::KeyPress && fenster == fenster_ && k->key() == zurück_->key() &&
            k->timestamp() == zurück_->timestamp()) {
            // The second half of a repeat: the release is dropped, the press
            // goes on as a repeated key-down.
            zurück_.reset();
            warten_.stop();
            if (k->isAutoRepeat()) return false;
            QKeyEvent wiederholt(t, k->key(), k->modifiers(), k->nativeScanCode(), k->nativeVirtualKey(),
                                 k->nativeModifiers(), k->text(), true, k->count());
            wiederholt.setTimestamp(k->timestamp());
            senden(fenster, wiederholt);
            return true;
        }
        loslassen(); // something else came first: it was let go
    }
    if (t == QEvent::KeyPress) return false;
    // A repeat Qt recognised itself: only its press goes on.
    if (k->isAutoRepeat()) return true;
    // Without a time a release cannot be paired.
    if (k->timestamp() == 0) return false;
    zurück_.reset(k->clone());
    fenster_ = fenster;
    warten_.start();
    return true;
}

bool FrischeTasten::verwerfen(const QKeyEvent& k) {
    if (k.type() == QEvent::KeyPress) {
        if (!k.isAutoRepeat()) frisch_.insert(k.key());
        return !frisch_.contains(k.key());
    }
    if (k.isAutoRepeat()) return !frisch_.contains(k.key());
    return !frisch_.remove(k.key());
}

} // namespace qmb
