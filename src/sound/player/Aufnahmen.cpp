#include "sound/player/Aufnahmen.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/Systemdienste.h"
#include "sound/player/Sequenzer.h"

namespace qmb {

namespace {

// The file: the samples, interleaved stereo floats; the two tables of
// Aufnahme, one number per block each; then this tail. Numbers are in the
// machine's own order: the file never leaves the machine it was made on.
struct Schluss {
    char kennzeichen[8];
    std::uint64_t schlüssel;
    std::int64_t frames;
    std::uint64_t frei;
};
constexpr char Kennzeichen[8] = {'Q', 'M', 'B', 'K', 'L', 'A', 'N', 'G'};
constexpr const char* Endung = ".qmbklang";
constexpr int Block = Sequenzer::Blocklänge;
// Read ahead this many frames at a time (32 KB): one read every 128 ms.
constexpr int Lesemenge = 4096;
// A piece whose voices never end is recorded this far past its end at most.
constexpr std::int64_t NachDemEndeMs = 20'000;

// FNV-1a, 64 bits: a name for the file, not a protection.
struct Prüfsumme {
    std::uint64_t h = 14695981039346656037ull;
    template <class T>
    void dazu(const T& wert) {
        unsigned char b[sizeof(T)];
        std::memcpy(b, &wert, sizeof(T));
        for (unsigned char c : b) h = (h ^ c) * 1099511628211ull;
    }
    void dazu(const std::string& s) {
        dazu(s.size());
        for (char c : s) dazu(c);
    }
};

} // namespace

std::shared_ptr<Aufnahme> Aufnahme::öffnen(const std::string& pfad, std::uint64_t schlüssel) {
    std::error_code f;
    const auto größe = std::filesystem::file_size(utf8Pfad(pfad), f);
    if (f || größe < sizeof(Schluss)) return nullptr;
    auto a = std::shared_ptr<Aufnahme>(new Aufnahme);
    a->datei_.open(utf8Pfad(pfad), std::ios::binary);
    Schluss s{};
    a->datei_.seekg(static_cast<std::streamoff>(größe - sizeof s));
    if (!a->datei_.read(reinterpret_cast<char*>(&s), sizeof s)) return nullptr;
    if (std::memcmp(s.kennzeichen, Kennzeichen, sizeof Kennzeichen) != 0 || s.schlüssel != schlüssel) return nullptr;
    const std::int64_t blöcke = s.frames / Block;
    if (s.frames < 0 || s.frames % Block != 0 ||
        größe != static_cast<std::uintmax_t>(s.frames) * 8 + static_cast<std::uintmax_t>(blöcke) * 8 + sizeof s)
        return nullptr;
    a->frames_ = s.frames;
    a->älteste_.resize(static_cast<std::size_t>(blöcke));
    a->jüngste_.resize(static_cast<std::size_t>(blöcke));
    a->datei_.seekg(s.frames * 8);
    a->datei_.read(reinterpret_cast<char*>(a->älteste_.data()), blöcke * 4);
    a->datei_.read(reinterpret_cast<char*>(a->jüngste_.data()), blöcke * 4);
    if (!a->datei_) return nullptr;
    return a;
}

bool Aufnahme::lesen(std::int64_t ab, float* links, float* rechts, int frames) {
    bool gut = true;
    for (int i = 0; i < frames;) {
        const std::int64_t pos = ab + i;
        if (pos < 0 || pos >= frames_) {
            links[i] = rechts[i] = 0.0f;
            ++i;
            continue;
        }
        // What was read ahead serves until it is used up, or the player jumps.
        if (pos < pufferAb_ || pos >= pufferAb_ + static_cast<std::int64_t>(puffer_.size() / 2)) {
            const auto n = static_cast<std::size_t>(std::min<std::int64_t>(Lesemenge, frames_ - pos));
            puffer_.resize(2 * n);
            datei_.clear();
            datei_.seekg(pos * 8);
            if (!datei_.read(reinterpret_cast<char*>(puffer_.data()), static_cast<std::streamsize>(8 * n))) {
                std::fill(puffer_.begin(), puffer_.end(), 0.0f);
                gut = false;
            }
            pufferAb_ = pos;
        }
        const auto r = static_cast<std::size_t>(pos - pufferAb_);
        links[i] = puffer_[2 * r];
        rechts[i] = puffer_[2 * r + 1];
        ++i;
    }
    return gut;
}

std::int64_t Aufnahme::übergabe(std::int64_t ab, bool ausgelassen) const {
    const auto blöcke = static_cast<std::int64_t>(älteste_.size());
    if (ab <= 0) return 0;
    const std::int64_t erster = ab / Block;
    if (erster >= blöcke) return -1;
    const std::uint32_t grenze = jüngste_[static_cast<std::size_t>(ausgelassen ? erster : erster - 1)];
    for (std::int64_t c = ausgelassen ? erster + 1 : erster; c < blöcke; ++c) {
        const std::uint32_t ält = älteste_[static_cast<std::size_t>(c - 1)];
        if (ält == 0 || ält > grenze) return c * Block;
    }
    return -1;
}

std::int64_t Aufnahme::ältesterAnfang(std::int64_t bei) const {
    const std::int64_t b = bei / Block;
    if (b <= 0 || b > static_cast<std::int64_t>(älteste_.size())) return bei;
    const std::uint32_t älteste = älteste_[static_cast<std::size_t>(b - 1)];
    if (älteste == 0) return bei;
    // The numbers begun so far only grow: the first block that reached it began it.
    const auto i = std::lower_bound(jüngste_.begin(), jüngste_.end(), älteste);
    return static_cast<std::int64_t>(i - jüngste_.begin()) * Block;
}

Aufnahmen::Aufnahmen(std::string ordner, Dateisystem& dateien) : ordner_(std::move(ordner)), dateien_(dateien) {}

Aufnahmen::~Aufnahmen() {
    {
        std::lock_guard lock(m_);
        ende_ = true;
        aufträge_.clear();
    }
    if (arbeiter_.joinable()) arbeiter_.join();
}

std::uint64_t Aufnahmen::schlüssel(const MidiStück& stück, const std::string& schrift, const Klangeinstellungen& k) {
    Prüfsumme p;
    p.dazu(std::string("Quambel-Aufnahme 1 FluidSynth " FLUIDSYNTH_VERSION));
    p.dazu(schrift);
    std::error_code f;
    p.dazu(static_cast<std::uintmax_t>(std::filesystem::file_size(utf8Pfad(schrift), f)));
    p.dazu(std::filesystem::last_write_time(utf8Pfad(schrift), f).time_since_epoch().count());
    for (const auto wert : {k.abtastrate, k.polyphonie}) p.dazu(wert);
    p.dazu(k.lautstärke);
    p.dazu(k.effekte);
    p.dazu(stück.längeMs);
    for (const MidiEreignis& e : stück.ereignisse) {
        p.dazu(e.ms);
        p.dazu(e.status);
        p.dazu(e.daten1);
        p.dazu(e.daten2);
    }
    return p.h;
}

std::string Aufnahmen::pfad(std::uint64_t schlüssel) const {
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(schlüssel));
    return pfadVerbinden(ordner_, std::string(name) + Endung);
}

std::shared_ptr<Aufnahme> Aufnahmen::bereit(std::uint64_t schlüssel) {
    std::lock_guard lock(m_);
    const auto i = bereit_.find(schlüssel);
    return i == bereit_.end() ? nullptr : i->second;
}

std::shared_ptr<Aufnahme> Aufnahmen::finden(std::uint64_t schlüssel) {
    if (auto a = bereit(schlüssel)) return a;
    auto a = Aufnahme::öffnen(pfad(schlüssel), schlüssel);
    if (a) {
        std::lock_guard lock(m_);
        bereit_[schlüssel] = a;
    }
    return a;
}

void Aufnahmen::bestellen(std::shared_ptr<const MidiStück> stück, const std::string& schrift,
                          const Klangeinstellungen& k) {
    const std::uint64_t s = schlüssel(*stück, schrift, k);
    std::lock_guard lock(m_);
    if (ende_ || !bestellt_.insert(s).second || bereit_.count(s)) return;
    aufträge_.push_back({std::move(stück), schrift, k, s});
    if (!arbeitet_) {
        if (arbeiter_.joinable()) arbeiter_.join(); // the last one is done and gone
        arbeitet_ = true;
        arbeiter_ = std::thread([this] { arbeiten(); });
    }
}

// The recording thread runs while there is something to record and then
// ends, so that a game whose pieces are all recorded has no thread for it.
void Aufnahmen::arbeiten() {
    geringerVorrang();
    std::unique_lock lock(m_);
    while (!ende_ && !aufträge_.empty()) {
        Auftrag a = std::move(aufträge_.front());
        aufträge_.pop_front();
        lock.unlock();
        aufräumen();
        // A recording that fails (a full disk, a cache folder we may not
        // write) is not tried again this session, and nobody is told: the
        // piece plays live as it always did, and the player could do nothing
        // about it (on Windows a notice is a message box of its own).
        aufnehmen(*a.stück, a.schrift, a.klang);
        lock.lock();
    }
    arbeitet_ = false;
}

Fehlernummer Aufnahmen::aufnehmen(const MidiStück& stück, const std::string& schrift, const Klangeinstellungen& k) {
    const std::uint64_t s = schlüssel(stück, schrift, k);
    std::string grund;
    std::unique_ptr<FluidKlang> klang = FluidKlang::erzeugen(schrift, k, grund);
    if (!klang) return ENOENT;
    if (const Fehlernummer f = dateien_.ordnerAnlegen(ordner_)) return f;
    const std::string ziel = pfad(s);
    const Fehlernummer f = ersetzen(
        dateien_, ziel, ziel + "." + dateien_.kennung(),
        [&](Schreibdatei& datei) -> Fehlernummer {
            Sequenzer seq(std::make_shared<MidiStück>(stück), 0, k.abtastrate);
            seq.spielen(0, false, klang.get());
            const std::int64_t höchstens = (seq.längeMs() + NachDemEndeMs) * k.abtastrate / 1000 / Block; // in blocks
            std::vector<std::uint32_t> älteste, jüngste;
            std::vector<float> zeilen; // interleaved, written 64 blocks at a time
            std::array<float, Block> l{}, r{};
            std::uint32_t bisher = 0;
            auto wegschreiben = [&] {
                const Fehlernummer w = datei.schreiben(
                    std::string_view(reinterpret_cast<const char*>(zeilen.data()), zeilen.size() * sizeof(float)));
                zeilen.clear();
                return w;
            };
            // As the player renders it: events, then the block, until the
            // piece is over and its last voice has ended.
            while ((seq.spielt() || klang->stimmen() > 0) && static_cast<std::int64_t>(älteste.size()) < höchstens) {
                seq.block(klang.get());
                klang->rendern(l.data(), r.data(), Block);
                const auto [alt, neu] = klang->notenspanne();
                bisher = std::max(bisher, neu);
                älteste.push_back(alt);
                jüngste.push_back(bisher);
                for (int i = 0; i < Block; ++i) zeilen.insert(zeilen.end(), {l[i], r[i]});
                if (zeilen.size() >= 64 * 2 * Block) {
                    if (const Fehlernummer w = wegschreiben()) return w;
                    std::lock_guard lock(m_);
                    if (ende_) return ECANCELED;
                }
            }
            if (const Fehlernummer w = wegschreiben()) return w;
            Schluss schluss{};
            std::memcpy(schluss.kennzeichen, Kennzeichen, sizeof Kennzeichen);
            schluss.schlüssel = s;
            schluss.frames = static_cast<std::int64_t>(älteste.size()) * Block;
            std::string rest(reinterpret_cast<const char*>(älteste.data()), älteste.size() * 4);
            rest.append(reinterpret_cast<const char*>(jüngste.data()), jüngste.size() * 4);
            rest.append(reinterpret_cast<const char*>(&schluss), sizeof schluss);
            return datei.schreiben(rest);
        },
        {});
    if (f != 0) return f;
    auto a = Aufnahme::öffnen(ziel, s);
    if (!a) return EIO;
    std::lock_guard lock(m_);
    bereit_[s] = std::move(a);
    return 0;
}

// Left-overs of copies that died while recording go, and the oldest
// recordings (pieces of SoundFonts or versions gone by), so that with the
// one about to be made there are Höchstens at most.
void Aufnahmen::aufräumen() {
    std::vector<std::string> namen;
    if (dateien_.auflisten(ordner_, namen) != 0) return;
    std::vector<std::pair<std::filesystem::file_time_type, std::string>> fertige;
    for (const std::string& name : namen) {
        const auto stelle = name.find(Endung);
        if (stelle == std::string::npos) continue;
        const std::string p = pfadVerbinden(ordner_, name);
        const std::string rest = name.substr(stelle + std::strlen(Endung));
        if (rest.empty()) {
            std::error_code f;
            fertige.emplace_back(std::filesystem::last_write_time(utf8Pfad(p), f), p);
        } else if (rest.size() > 1 && rest[0] == '.' && !dateien_.läuft(rest.substr(1))) {
            dateien_.entfernen(p);
        }
    }
    std::sort(fertige.begin(), fertige.end());
    for (std::size_t i = 0; i + Höchstens <= fertige.size(); ++i) dateien_.entfernen(fertige[i].second);
}

} // namespace qmb
