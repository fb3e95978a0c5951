#include "sound/player/Musikspieler.h"

#include "platform/Dateisystem.h"
#include "platform/Systemdienste.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace qmb {

namespace {

std::string klein(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Splits a command into words; a word in double quotes may hold blanks.
bool zerlegen(const std::string& befehl, std::vector<std::string>& wörter) {
    std::size_t i = 0;
    const std::size_t n = befehl.size();
    while (i < n) {
        while (i < n && std::isspace(static_cast<unsigned char>(befehl[i]))) ++i;
        if (i >= n) break;
        if (befehl[i] == '"') {
            const std::size_t zu = befehl.find('"', i + 1);
            if (zu == std::string::npos) return false;
            wörter.push_back(befehl.substr(i + 1, zu - i - 1));
            i = zu + 1;
        } else {
            const std::size_t anfang = i;
            while (i < n && !std::isspace(static_cast<unsigned char>(befehl[i]))) ++i;
            wörter.push_back(befehl.substr(anfang, i - anfang));
        }
    }
    return true;
}

// A time in milliseconds: decimal digits only, at most twelve of them.
bool zahl(const std::string& s, std::int64_t& wert) {
    if (s.empty() || s.size() > 12) return false;
    wert = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        wert = wert * 10 + (c - '0');
    }
    return true;
}

// Fades n frames linearly from full to nothing.
void ausblenden(float* links, float* rechts, int n) {
    for (int i = 0; i < n; ++i) {
        const float g = ausblendFaktor(i, n);
        links[i] *= g;
        rechts[i] *= g;
    }
}

std::chrono::nanoseconds stetigeUhr() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

} // namespace

Befehlsspieler::Befehlsspieler(Spielereinstellungen e) : einstellungen_(std::move(e)) {
    if (!einstellungen_.uhr) einstellungen_.uhr = stetigeUhr;
    if (einstellungen_.schriften.empty()) einstellungen_.schriften = FluidKlang::schriftKandidaten();
    uhrLäuft_ = einstellungen_.ausgabe == Spielereinstellungen::Ausgabe::Gerät;
    if (!einstellungen_.aufnahmen.empty())
        aufnahmen_ = std::make_unique<Aufnahmen>(einstellungen_.aufnahmen, systemDateisystem());
    if (uhrLäuft_) uhrStart_ = einstellungen_.uhr();
    // The SoundFont takes from a few ten to several hundred milliseconds to
    // load; the first window must not wait for it.
    lader_ = std::thread([this] { laden(); });
    if (uhrLäuft_) arbeiter_ = std::thread([this] { arbeiten(); });
}

Befehlsspieler::~Befehlsspieler() {
    {
        std::lock_guard lock(m_);
        ende_ = true;
    }
    arbeit_.notify_all();
    if (arbeiter_.joinable()) arbeiter_.join();
    if (lader_.joinable()) lader_.join();
    aufnahmen_.reset(); // a recording under way stops within a few blocks
    // Stopped without holding the lock; the output's thread ends with it.
    if (ausgabe_) ausgabe_->beenden();
    ausgabe_.reset();
    klang_.reset();
}

void Befehlsspieler::laden() {
    const bool gerät = einstellungen_.ausgabe == Spielereinstellungen::Ausgabe::Gerät;
    std::string grund = "kein SoundFont";
    std::unique_ptr<FluidKlang> k;
    std::string schrift;
    for (const std::string& pfad : einstellungen_.schriften) {
        k = FluidKlang::erzeugen(pfad, einstellungen_.klang, grund);
        if (k) {
            schrift = pfad;
            break;
        }
    }
    bool bereit = k != nullptr;
    std::unique_ptr<Tonausgabe> ausgabe;
    if (k && gerät) {
        // Each output is tried once now, so that a missing device is known
        // at once; the render thread closes the one that opened again while
        // nothing plays. Until klang_ is set below, nothing is stored, and
        // the output gets nothing.
        for (const std::string& wahl : einstellungen_.treiber) {
            auto a = wahl == "tonserver" ? tonserver(einstellungen_.klang.abtastrate, quelle_)
                                         : k->treiberausgabe(wahl, quelle_);
            if (a && a->starten()) {
                ausgabe = std::move(a);
                break;
            }
        }
        bereit = ausgabe != nullptr;
        offen_ = bereit;
        if (!bereit) grund = "kein Audiogerät";
    }
    {
        std::lock_guard lock(m_);
        if (bereit) {
            uhrNachziehen();
            klang_ = std::move(k);
            ausgabe_ = std::move(ausgabe);
            schrift_ = schrift;
            // Pieces that started on the clock go on with sound from where
            // they are, with their instruments as far as they got.
            for (Platz& p : plätze_)
                if (p.sequenzer && p.sequenzer->spielt()) p.sequenzer->zustandSenden(*klang_);
            klingt_ = true;
            uhrLäuft_ = false;
        }
        // Said once, and before anyone waiting for the SoundFont hears that
        // loading is over, so that the line is out when they look.
        if (!bereit && gerät) {
            hinweisZeigen("keine Tonausgabe (" + grund + "), Musik läuft stumm weiter");
        }
        ladenFertig_ = true;
    }
    geladenCv_.notify_all();
    arbeit_.notify_all();
    // Pieces opened before the SoundFont was known get their recordings now.
    if (!bereit || !aufnahmen_) return;
    std::vector<std::shared_ptr<const MidiStück>> offen;
    {
        std::lock_guard lock(m_);
        for (const Platz& p : plätze_)
            if (p.sequenzer && p.schlüssel == 0) offen.push_back(p.sequenzer->geteiltesStück());
    }
    for (const auto& stück : offen) {
        auto [schlüssel, aufnahme] = aufnahmeFür(stück, schrift);
        std::lock_guard lock(m_);
        for (Platz& p : plätze_) {
            if (!p.sequenzer || p.sequenzer->geteiltesStück() != stück) continue;
            p.schlüssel = schlüssel;
            p.aufnahme = aufnahme;
            // Live since the SoundFont came: the recording takes over once
            // the notes it holds from before then have died away.
            if (p.sequenzer->spielt() && !p.gespeichert) quelleWählen(p, false);
        }
    }
}

std::pair<std::uint64_t, std::shared_ptr<Aufnahme>>
Befehlsspieler::aufnahmeFür(const std::shared_ptr<const MidiStück>& stück, const std::string& schrift) {
    if (!aufnahmen_ || schrift.empty()) return {0, nullptr};
    const std::uint64_t schlüssel = Aufnahmen::schlüssel(*stück, schrift, einstellungen_.klang);
    auto aufnahme = aufnahmen_->finden(schlüssel);
    if (!aufnahme) aufnahmen_->bestellen(stück, schrift, einstellungen_.klang);
    return {schlüssel, std::move(aufnahme)};
}

bool Befehlsspieler::Platz::klingtGespeichert() const {
    if (ausklang > 0) return true;
    if (!gespeichert || !sequenzer) return false;
    // Past the end of the piece the recording holds its last notes dying away.
    return sequenzer->spielt() || (sequenzer->zuEnde() && gelesen < aufnahme->frames());
}

bool Befehlsspieler::kannKlingen() const {
    for (const Platz& p : plätze_)
        if ((p.sequenzer && p.sequenzer->spielt()) || p.klingtGespeichert()) return true;
    // Notes dying away after a pause; not after the last piece was closed:
    // that cut every voice, and the synth counts them only at its next block.
    return ausklingen_ && klang_ && klang_->stimmen() > 0;
}

// The render thread: keeps the store Vorlauf frames ahead of the output while
// something can sound, and holds the output open only for as long as that:
// with the music off or a piece over, no audio thread runs and nothing wakes.
void Befehlsspieler::arbeiten() {
    std::unique_lock lock(m_);
    while (!ende_) {
        // Nothing to do while silent but wait for a command. While sound
        // flows, each round renders a quarter of the store: every 64 ms once
        // the store is three quarters full, every 16 ms until then (after the
        // output opened with Anlauf frames, or while it has still to drop a
        // closed piece's store). So no round holds the lock, or a core, for
        // long, and the first sound never waits for the rest of the store.
        const bool knapp = leeren_ || geschrieben_ - gelesen_ < Vorlauf / 4 * 3;
        if (ladenFertig_ && (!klingt_ || (!offen_ && !kannKlingen())))
            arbeit_.wait(lock);
        else
            arbeit_.wait_for(
                lock, std::chrono::milliseconds(1000 * Vorlauf / (knapp ? 16 : 4) / einstellungen_.klang.abtastrate));
        if (ende_ || !klingt_) continue;
        const bool soll = kannKlingen();
        if (soll && !offen_) {
            // The store is filled first, so that the output's first call finds sound.
            vorausRendernGesperrt(Anlauf / Sequenzer::Blocklänge);
            lock.unlock(); // opening takes a few milliseconds; the game's commands need not wait
            const bool offen = ausgabe_->starten();
            lock.lock();
            offen_ = offen;
        } else if (offen_) {
            // A new piece after a close goes out once Anlauf frames of it are there.
            vorausRendernGesperrt((anlauf_ ? Anlauf : Vorlauf / 4) / Sequenzer::Blocklänge);
            lock.unlock(); // it may have to reach the sound server anew
            ausgabe_->nachschub();
            lock.lock();
        }
        if (!soll && offen_ && geschrieben_ == gelesen_ && ausgabe_->verklungen()) {
            tönt_ = false;
            lock.unlock();
            ausgabe_->beenden();
            lock.lock();
            offen_ = false;
        }
    }
}

void Befehlsspieler::vorausRendern(int blöcke) {
    std::lock_guard lock(m_);
    vorausRendernGesperrt(blöcke);
}

void Befehlsspieler::vorausRendernGesperrt(int blöcke) {
    if (leeren_) return; // first the output drops what is stored
    tönt_ = kannKlingen();
    // The store holds whole blocks, so a block never wraps around its end.
    for (; blöcke > 0 && geschrieben_ - gelesen_ + Sequenzer::Blocklänge <= Vorlauf; --blöcke) {
        // Once nothing can sound, what the synth still gives is its reverb
        // dying away for up to a second: one block of it fades out, then
        // nothing more is stored, and the output can close.
        if (!tönt_ && ausgeklungen_) break;
        const auto w = static_cast<std::size_t>(geschrieben_ % Vorratsgröße);
        float* links = vorratL_.data() + w;
        float* rechts = vorratR_.data() + w;
        einBlock(links, rechts);
        if (!tönt_) ausblenden(links, rechts, Sequenzer::Blocklänge);
        ausgeklungen_ = !tönt_;
        geschrieben_ += Sequenzer::Blocklänge;
        // The next piece goes out as soon as enough of it is there.
        if (geschrieben_ - gelesen_ >= Anlauf) anlauf_ = false;
    }
    if (geschrieben_ - gelesen_ >= Anlauf) anlauf_ = false;
}

bool Befehlsspieler::warteAufKlang() {
    std::unique_lock lock(m_);
    geladenCv_.wait(lock, [this] { return ladenFertig_; });
    return klingt_;
}

bool Befehlsspieler::klingt() const {
    std::lock_guard lock(m_);
    return klingt_;
}

const FluidKlang* Befehlsspieler::klang() const {
    std::lock_guard lock(m_);
    return klingt_ ? klang_.get() : nullptr;
}

Klangziel* Befehlsspieler::ziel() { return klingt_ ? klang_.get() : nullptr; }

int Befehlsspieler::ausgabeNehmen(float* links, float* rechts, int höchstens) {
    // A piece was closed with nothing else playing: what is stored is its
    // tail. Its first frames fade out, the rest of it is dropped; all of it
    // when the output took back what it queued and fades that instead.
    const bool schließen = leeren_.exchange(false);
    // The next piece starts once the store is full again: handed out while
    // the render thread is still at it, on a busy machine, its first
    // blocks would come in pieces with silence between them.
    const std::int64_t von = gelesen_, ende = geschrieben_;
    int n = !schließen && anlauf_ ? 0 : static_cast<int>(std::min<std::int64_t>(höchstens, ende - von));
    if (schließen) n = std::min(n, zurückgenommen_ ? 0 : Ausblendung);
    for (int i = 0; i < n;) {
        const auto r = static_cast<std::size_t>((von + i) % Vorratsgröße);
        const int stück = std::min(n - i, Vorratsgröße - static_cast<int>(r));
        std::memcpy(links + i, vorratL_.data() + r, sizeof(float) * stück);
        std::memcpy(rechts + i, vorratR_.data() + r, sizeof(float) * stück);
        i += stück;
    }
    if (schließen) ausblenden(links, rechts, n);
    gelesen_ = schließen ? ende : von + n;
    // The store is free for the next piece: the render thread may go on at
    // once (a signal without the lock, never a wait on this thread).
    if (schließen) arbeit_.notify_one();
    return n;
}

void Befehlsspieler::ausgabeFüllen(float* links, float* rechts, int frames) { füllen(quelle_, links, rechts, frames); }

// Silence while waiting for a new piece's store is no underrun.
void Befehlsspieler::aussetzer() {
    if (tönt_ && !anlauf_) ++unterläufe_;
}

// One block: each piece's events go to the synth, or its recording is read;
// the synth is rendered only while something of it can be heard.
void Befehlsspieler::einBlock(float* links, float* rechts) {
    constexpr int B = Sequenzer::Blocklänge;
    std::fill(links, links + B, 0.0f);
    std::fill(rechts, rechts + B, 0.0f);
    Klangziel* z = ziel();
    bool live = false, gespeichert = false;
    int überblendung = 0;
    for (Platz& p : plätze_) {
        if (!p.einholen) continue;
        p.einholen = false;
        if (einholen(p)) {
            verworfen_ = 0; // what the synth gives now is heard
        } else {
            p.ausklang = Nachklang;
            p.ausklangAb = p.gelesen;
        }
    }
    for (Platz& p : plätze_) {
        if (!p.sequenzer) continue;
        // A piece playing live whose recording was just made: it takes over
        // as after a play command here.
        if (p.schlüssel != 0 && !p.aufnahme && p.sequenzer->spielt()) {
            p.aufnahme = aufnahmen_->bereit(p.schlüssel);
            if (p.aufnahme) quelleWählen(p, false);
        }
        // The recording takes over once the notes begun before the live
        // start have died away, as long as no other piece plays live: the
        // synth then fades out what it played of this piece.
        if (!p.gespeichert && p.übergabe >= 0 && p.sequenzer->spielt() && p.sequenzer->positionFrames() >= p.übergabe) {
            bool andere = false;
            for (const Platz& q : plätze_)
                andere = andere || (&q != &p && q.sequenzer && q.sequenzer->spielt() && !q.gespeichert);
            if (!andere) {
                p.gespeichert = true;
                p.gelesen = p.sequenzer->positionFrames();
                p.überblendung = Ausblendung;
            }
        }
        p.sequenzer->block(p.gespeichert ? nullptr : z);
        live = live || (!p.gespeichert && p.sequenzer->spielt());
        if (p.klingtGespeichert()) {
            gespeichert = true;
            aufnahmeMischen(p, links, rechts);
        }
        überblendung = std::max(überblendung, p.überblendung);
    }
    if (live) verworfen_ = 0; // a piece live again is heard with all the synth gives
    if (!klingt_ || (gespeichert && !live && verworfen_ == 0 && klang_->stimmen() == 0)) return;
    std::array<float, B> l, r;
    klang_->rendern(l.data(), r.data(), B);
    if (verworfen_ > 0 && überblendung == 0) {
        verworfen_ = std::max(0, verworfen_ - B);
        return;
    }
    for (int i = 0; i < B; ++i) {
        // Fading out over the frames left of the cross-fade, as the recording fades in.
        const float g = überblendung > 0 ? static_cast<float>(überblendung - i) / (Ausblendung + 1) : 1.0f;
        links[i] += l[i] * g;
        rechts[i] += r[i] * g;
    }
    for (Platz& p : plätze_) {
        if (p.überblendung == 0) continue;
        p.überblendung = std::max(0, p.überblendung - B);
        if (p.überblendung > 0) continue;
        // Faded out: its voices go, the reverb they left goes unheard.
        p.sequenzer->notenAus(*klang_, true);
        verworfen_ = Nachhall;
    }
}

// Adds what the recording holds for this block: the piece playing, the end
// of it dying away, or the tail of a stop fading out.
void Befehlsspieler::aufnahmeMischen(Platz& p, float* links, float* rechts) {
    constexpr int B = Sequenzer::Blocklänge;
    std::array<float, B> l, r;
    if (p.gespeichert && (p.sequenzer->spielt() || p.sequenzer->zuEnde())) {
        p.aufnahme->lesen(p.gelesen, l.data(), r.data(), B);
        for (int i = 0; i < B; ++i) {
            // Fading in over the cross-fade from the synth.
            const float g =
                p.überblendung > 0 ? 1.0f - static_cast<float>(p.überblendung - i) / (Ausblendung + 1) : 1.0f;
            links[i] += l[i] * g;
            rechts[i] += r[i] * g;
        }
        p.gelesen += B;
    }
    if (p.ausklang > 0) {
        p.aufnahme->lesen(p.ausklangAb, l.data(), r.data(), B);
        for (int i = 0; i < B; ++i) {
            const float g = static_cast<float>(p.ausklang - i) / (Nachklang + 1);
            links[i] += l[i] * g;
            rechts[i] += r[i] * g;
        }
        p.ausklangAb += B;
        p.ausklang = std::max(0, p.ausklang - B);
    }
}

// A piece that starts to play at its current position: live, and from the
// recording as soon as it can take over (at once from the start).
void Befehlsspieler::quelleWählen(Platz& p, bool ausgelassen) {
    if (p.schlüssel != 0 && !p.aufnahme) p.aufnahme = aufnahmen_->bereit(p.schlüssel);
    p.übergabe = -1;
    const std::int64_t von = p.sequenzer->positionFrames();
    // Repeating, the notes at the end of one round ring into the next: only
    // the synth plays that as it always did. A start between blocks would
    // put the notes on another grid than the recording's.
    if (!p.aufnahme || !klingt_ || p.sequenzer->wiederholt() || von % Sequenzer::Blocklänge != 0) return;
    p.übergabe = p.aufnahme->übergabe(von, ausgelassen);
    if (p.übergabe != von) return;
    // Nothing of the piece sounds yet that the recording would not hold.
    p.sequenzer->notenAus(*klang_, false);
    p.gespeichert = true;
    p.gelesen = von;
}

// A recorded piece stops playing, for a stop or to play from elsewhere: the
// synth takes over its notes at the next block (a stop), or what the
// recording holds fades out. The next play starts live.
void Befehlsspieler::aufnahmeAnhalten(Platz& p, bool stopp) {
    // Played again before the render thread took over a stop: that stop's
    // notes fade out instead, so that nothing released there reaches the new play.
    if (p.einholen && !stopp) {
        p.einholen = false;
        p.ausklang = Nachklang;
    }
    if (!p.gespeichert) return;
    if (p.überblendung > 0) p.sequenzer->notenAus(*klang_, true);
    p.gespeichert = false;
    p.überblendung = 0;
    p.einholen = stopp;
    p.ausklang = stopp ? 0 : Nachklang;
    p.ausklangAb = p.gelesen;
}

// The notes sounding where a recorded piece stopped, played on the synth from
// where they began with the output thrown away, then released: the synth
// then sounds as if it had played the piece all along and was stopped live.
// Only on a silent synth, whose time is nobody else's.
bool Befehlsspieler::einholen(Platz& p) {
    constexpr int B = Sequenzer::Blocklänge;
    const int rate = einstellungen_.klang.abtastrate;
    const std::int64_t bis = p.sequenzer->positionFrames();
    // From one block early: a start between two blocks leaves out the events
    // in the half block before it, which the recording sent with that block.
    std::int64_t von = std::max(p.aufnahme->ältesterAnfang(bis) - B, bis - Einholen);
    von = std::max<std::int64_t>(0, von - von % B);
    if (klang_->stimmen() > 0 || von * 1000 % rate != 0) return false;
    Sequenzer nach(p.sequenzer->geteiltesStück(), p.sequenzer->ersterKanal(), rate);
    if (!nach.spielen(von * 1000 / rate, false, klang_.get())) return false;
    std::array<float, B> l, r;
    for (std::int64_t t = von; t < bis; t += B) {
        nach.block(klang_.get());
        klang_->rendern(l.data(), r.data(), B);
    }
    p.sequenzer->notenAus(*klang_, false);
    return true;
}

std::int64_t Befehlsspieler::uhrFrames() const {
    const std::int64_t ns = std::max<std::int64_t>(0, (einstellungen_.uhr() - uhrStart_).count());
    const std::int64_t rate = einstellungen_.klang.abtastrate;
    return ns / 1'000'000'000 * rate + ns % 1'000'000'000 * rate / 1'000'000'000;
}

void Befehlsspieler::uhrNachziehen() {
    if (!uhrLäuft_) return;
    const std::int64_t blöcke = (uhrFrames() - uhrFrames_) / Sequenzer::Blocklänge;
    if (blöcke <= 0) return;
    uhrFrames_ += blöcke * Sequenzer::Blocklänge;
    for (Platz& p : plätze_) {
        if (!p.sequenzer) continue;
        for (std::int64_t b = 0; b < blöcke && p.sequenzer->spielt(); ++b) p.sequenzer->block(nullptr);
    }
}

std::vector<float> Befehlsspieler::vorrücken(double ms) {
    std::vector<float> aus;
    if (einstellungen_.ausgabe != Spielereinstellungen::Ausgabe::Offline || ms <= 0) return aus;
    std::lock_guard lock(m_);
    angefordert_ += ms * einstellungen_.klang.abtastrate / 1000.0;
    const auto bis = static_cast<std::int64_t>(angefordert_);
    std::array<float, Sequenzer::Blocklänge> l{}, r{};
    while (gerendert_ + Sequenzer::Blocklänge <= bis) {
        einBlock(l.data(), r.data());
        for (int i = 0; i < Sequenzer::Blocklänge; ++i) {
            aus.push_back(l[i]);
            aus.push_back(r[i]);
        }
        gerendert_ += Sequenzer::Blocklänge;
    }
    return aus;
}

bool Befehlsspieler::aufnahmeBereit(const std::string& alias) {
    std::lock_guard lock(m_);
    const Platz* p = finden(alias);
    return p && aufnahmen_ && p->schlüssel != 0 && aufnahmen_->bereit(p->schlüssel);
}

Befehlsspieler::Platz* Befehlsspieler::finden(const std::string& alias) {
    const std::string a = klein(alias);
    for (Platz& p : plätze_)
        if (p.sequenzer && p.alias == a) return &p;
    return nullptr;
}

unsigned Befehlsspieler::mciSendString(const std::string& befehl, std::string& antwort) {
    antwort.clear();
    std::vector<std::string> w;
    if (!zerlegen(befehl, w)) return MciAnführungOffen;
    if (w.empty()) return MciUnbekannterBefehl;
    const std::string wort = klein(w[0]);
    if (wort == "open") return öffnen(w);
    if (wort == "status") return status(w, antwort);
    if (wort != "play" && wort != "stop" && wort != "close") return MciUnbekannterBefehl;
    if (w.size() < 2) return MciParameterFehlt;

    std::lock_guard lock(m_);
    uhrNachziehen();
    Platz* p = finden(w[1]);
    if (!p) return MciUnbekanntesGerät;
    if (wort == "play") return spielen(w);
    if (w.size() > 2) return MciUnbekanntesWort;
    if (wort == "stop") {
        ausklingen_ = true;
        if (p->sequenzer->spielt()) aufnahmeAnhalten(*p, true);
        p->sequenzer->anhalten(ziel());
    } else {
        p->sequenzer->verstummen(ziel());
        *p = Platz{};
        // With nothing else playing, what is stored is only this piece's
        // tail: the output drops it, and takes back what it queued where it
        // can, so the closed piece is silent at once.
        bool andere = false;
        for (const Platz& q : plätze_) andere = andere || (q.sequenzer && q.sequenzer->spielt());
        if (!andere) {
            // In this order: from the moment the store is to be dropped, an
            // output that takes back drops all of it.
            const bool zurück = ausgabe_ && offen_ && ausgabe_->nimmtZurück();
            zurückgenommen_ = zurück;
            leeren_ = true;
            if (zurück) ausgabe_->zurücknehmen(Ausblendung);
            anlauf_ = true;
            tönt_ = false;
            ausgeklungen_ = true; // its fade is the end; the reverb left in the synth stays unheard
            ausklingen_ = false;
        }
    }
    arbeit_.notify_all();
    return 0;
}

unsigned Befehlsspieler::öffnen(const std::vector<std::string>& w) {
    if (w.size() < 2) return MciParameterFehlt;
    std::string alias;
    for (std::size_t i = 2; i < w.size(); i += 2) {
        const std::string wort = klein(w[i]);
        if (wort != "type" && wort != "alias") return MciUnbekanntesWort;
        if (i + 1 >= w.size()) return MciParameterFehlt;
        if (wort == "type") {
            // The game names every piece MPEGVideo whatever it holds; we
            // play MIDI files under that name and under their own.
            const std::string typ = klein(w[i + 1]);
            if (typ != "mpegvideo" && typ != "sequencer") return MciUnbekanntesGerät;
        } else {
            alias = klein(w[i + 1]);
        }
    }
    if (alias.empty()) return MciParameterFehlt;
    {
        std::lock_guard lock(m_);
        if (finden(alias)) return MciAliasBelegt;
    }
    // Reading happens outside the lock, so that sound keeps flowing meanwhile.
    auto gelesen = std::make_shared<MidiStück>();
    const MidiFehler f = leseMidiDatei(w[1], *gelesen);
    if (f == MidiFehler::DateiUnlesbar) return MciDateiFehlt;
    if (f != MidiFehler::Keiner) return MciUngültigeDatei;
    const std::shared_ptr<const MidiStück> stück = std::move(gelesen);
    std::string schrift;
    {
        std::lock_guard lock(m_);
        schrift = schrift_;
    }
    auto [schlüssel, aufnahme] = aufnahmeFür(stück, schrift);

    std::lock_guard lock(m_);
    uhrNachziehen();
    if (finden(alias)) return MciAliasBelegt;
    for (std::size_t i = 0; i < plätze_.size(); ++i) {
        Platz& p = plätze_[i];
        if (p.sequenzer) continue;
        p.alias = alias;
        p.sequenzer = std::make_unique<Sequenzer>(stück, static_cast<int>(i) * 16, einstellungen_.klang.abtastrate);
        p.schlüssel = schlüssel;
        p.aufnahme = std::move(aufnahme);
        return 0;
    }
    return MciKeinGerätFrei;
}

unsigned Befehlsspieler::spielen(const std::vector<std::string>& w) {
    bool wiederholen = false;
    bool ab = false;
    std::int64_t von = 0;
    for (std::size_t i = 2; i < w.size(); ++i) {
        const std::string wort = klein(w[i]);
        if (wort == "repeat") {
            wiederholen = true;
        } else if (wort == "from") {
            if (i + 1 >= w.size()) return MciParameterFehlt;
            if (!zahl(w[++i], von)) return MciKeineZahl;
            ab = true;
        } else {
            return MciUnbekanntesWort;
        }
    }
    Platz& p = *finden(w[1]);
    Sequenzer& s = *p.sequenzer;
    // The render thread may sleep with the output closed: it opens it again.
    arbeit_.notify_all();
    ausklingen_ = true;
    if (ab && (von < 0 || von > s.längeMs())) return MciAußerhalb;
    // A plain play of a piece that plays goes on as it is.
    if (!ab && !wiederholen && s.spielt()) return 0;
    aufnahmeAnhalten(p, false);
    if (ab) {
        s.spielen(von, wiederholen, ziel());
    } else if (wiederholen) {
        // Repeating from where it stands; from the very end that means from the start.
        s.spielen(s.positionMs(), true, ziel());
    } else {
        s.fortsetzen(ziel());
    }
    // Going on after a stop leaves nothing out: the events before it went out.
    if (s.spielt()) quelleWählen(p, ab && s.lässtAus(s.positionFrames()));
    return 0;
}

unsigned Befehlsspieler::status(const std::vector<std::string>& w, std::string& antwort) {
    // A query that cannot be answered gives "0", which reads as a number too.
    antwort.assign(1, '0');
    if (w.size() < 3) return MciParameterFehlt;
    if (w.size() > 3) return MciUnbekanntesWort;
    const std::string was = klein(w[2]);
    std::lock_guard lock(m_);
    uhrNachziehen();
    Platz* p = finden(w[1]);
    if (!p) return MciUnbekanntesGerät;
    if (was == "length") {
        antwort = std::to_string(p->sequenzer->längeMs());
    } else if (was == "position") {
        antwort = std::to_string(p->sequenzer->positionMs());
    } else {
        return MciUnbekanntesWort;
    }
    return 0;
}

Spielereinstellungen programmeinstellungen() {
    Spielereinstellungen e;
    if (const std::string ordner = zwischenspeicherordner(); !ordner.empty())
        e.aufnahmen = pfadVerbinden(ordner, "Klang");
    return e;
}

std::unique_ptr<Befehlsschnittstelle> erzeugeMusikspieler() {
    return std::make_unique<Befehlsspieler>(programmeinstellungen());
}

} // namespace qmb
