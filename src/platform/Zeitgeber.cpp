#include "platform/Zeitgeber.h"

namespace qmb {

void VirtuelleUhr::anmelden(Zeitgeber& z) {
    z.setTreiber(this);
    einträge_.push_back({&z, z.Enabled() ? jetzt_ + z.Interval() : -1, zähler_++});
}

void VirtuelleUhr::geändert(Zeitgeber& z) {
    for (auto& e : einträge_) {
        if (e.z != &z) continue;
        e.fällig = z.Enabled() ? jetzt_ + z.Interval() : -1;
        e.reihenfolge = zähler_++;
    }
}

VirtuelleUhr::Eintrag* VirtuelleUhr::nächster(int64_t bis) {
    Eintrag* beste = nullptr;
    for (auto& e : einträge_) {
        if (e.fällig < 0 || !e.z->Enabled() || e.fällig > bis) continue;
        if (!beste || e.fällig < beste->fällig || (e.fällig == beste->fällig && e.reihenfolge < beste->reihenfolge))
            beste = &e;
    }
    return beste;
}

void VirtuelleUhr::vorspulen(int64_t ms) {
    const int64_t ziel = jetzt_ + ms;
    while (Eintrag* e = nächster(ziel)) {
        jetzt_ = e->fällig;
        e->fällig += e->z->Interval() > 0 ? e->z->Interval() : 1;
        e->reihenfolge = zähler_++;
        e->z->Tick();
    }
    jetzt_ = ziel;
}

bool VirtuelleUhr::nächsterTick() {
    Eintrag* e = nächster(INT64_MAX);
    if (!e) return false;
    jetzt_ = e->fällig;
    e->fällig += e->z->Interval() > 0 ? e->z->Interval() : 1;
    e->reihenfolge = zähler_++;
    e->z->Tick();
    return true;
}

} // namespace qmb
