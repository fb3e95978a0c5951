#include "platform/Zeitgeber.h"

namespace qmb {

void VirtuelleUhr::anmelden(Zeitgeber& z) {
    z.setTreiber(this);
    eintraege_.push_back({&z, z.Enabled() ? jetzt_ + z.Interval() : -1, zaehler_++});
}

void VirtuelleUhr::geaendert(Zeitgeber& z) {
    for (auto& e : eintraege_) {
        if (e.z != &z) continue;
        e.faellig = z.Enabled() ? jetzt_ + z.Interval() : -1;
        e.reihenfolge = zaehler_++;
    }
}

VirtuelleUhr::Eintrag* VirtuelleUhr::naechster(int64_t bis) {
    Eintrag* beste = nullptr;
    for (auto& e : eintraege_) {
        if (e.faellig < 0 || !e.z->Enabled() || e.faellig > bis) continue;
        if (!beste || e.faellig < beste->faellig ||
            (e.faellig == beste->faellig && e.reihenfolge < beste->reihenfolge))
            beste = &e;
    }
    return beste;
}

void VirtuelleUhr::vorspulen(int64_t ms) {
    const int64_t ziel = jetzt_ + ms;
    while (Eintrag* e = naechster(ziel)) {
        jetzt_ = e->faellig;
        e->faellig += e->z->Interval() > 0 ? e->z->Interval() : 1;
        e->reihenfolge = zaehler_++;
        e->z->Tick();
    }
    jetzt_ = ziel;
}

bool VirtuelleUhr::naechsterTick() {
    Eintrag* e = naechster(INT64_MAX);
    if (!e) return false;
    jetzt_ = e->faellig;
    e->faellig += e->z->Interval() > 0 ? e->z->Interval() : 1;
    e->reihenfolge = zaehler_++;
    e->z->Tick();
    return true;
}

} // namespace qmb
