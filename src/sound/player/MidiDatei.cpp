#include "sound/player/MidiDatei.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>

#include "platform/Systemdienste.h"

namespace qmb {

const char* fehlertext(MidiFehler f) {
    switch (f) {
    case MidiFehler::Keiner: return "no error";
    case MidiFehler::DateiUnlesbar: return "file cannot be read";
    case MidiFehler::DateiZuGroß: return "file too large";
    case MidiFehler::KeinKopf: return "not a MIDI file (no MThd chunk)";
    case MidiFehler::KopfZuKurz: return "header chunk too short";
    case MidiFehler::FormatUnbekannt: return "unsupported format";
    case MidiFehler::KeineSpuren: return "no tracks";
    case MidiFehler::ZuVieleSpuren: return "too many tracks";
    case MidiFehler::TeilungNull: return "zero division";
    case MidiFehler::SmpteUngültig: return "invalid SMPTE division";
    case MidiFehler::Abgeschnitten: return "truncated data";
    case MidiFehler::ZahlZuLang: return "variable-length number too long";
    case MidiFehler::OhneLaufstatus: return "data byte without running status";
    case MidiFehler::UngültigesByte: return "unexpected status byte";
    case MidiFehler::ZuVieleEreignisse: return "too many events";
    case MidiFehler::ZuLang: return "track too long";
    }
    return "unknown error";
}

namespace {

constexpr std::uint32_t StandardTempo = 500000; // 120 beats per minute

std::uint32_t be32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
std::uint16_t be16(const std::uint8_t* p) { return std::uint16_t((p[0] << 8) | p[1]); }

// Frames per second of an SMPTE division; 29 stands for 29.97 (drop frame).
double smpteRate(std::uint16_t teilung) {
    const int fps = -static_cast<int>(static_cast<std::int8_t>(teilung >> 8));
    return fps == 29 ? 29.97 : fps;
}

struct Rohtempo {
    std::uint32_t tick;
    std::uint32_t wert;
};

// Walks one MTrk chunk. Everything it reads stays inside [p, ende).
class Spurleser {
public:
    Spurleser(const std::uint8_t* p, const std::uint8_t* ende, std::uint16_t spur, MidiStück& stück,
              std::vector<Rohtempo>& tempi)
        : p_(p), ende_(ende), spur_(spur), stück_(stück), tempi_(tempi) {}

    MidiFehler lesen(std::uint32_t& endeTick) {
        std::uint64_t tick = 0;
        std::uint8_t lauf = 0; // running status, 0 = none
        while (p_ < ende_) {
            std::uint32_t delta = 0;
            if (auto f = zahl(delta); f != MidiFehler::Keiner) return f;
            tick += delta;
            if (tick > std::numeric_limits<std::uint32_t>::max()) return MidiFehler::ZuLang;
            if (p_ >= ende_) return MidiFehler::Abgeschnitten;
            std::uint8_t status = *p_;
            if (status & 0x80) {
                ++p_;
            } else {
                if (!lauf) return MidiFehler::OhneLaufstatus;
                status = lauf;
            }
            const auto t = static_cast<std::uint32_t>(tick);
            if (status < 0xF0) {
                lauf = status;
                const int n = ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) ? 1 : 2;
                if (ende_ - p_ < n) return MidiFehler::Abgeschnitten;
                const std::uint8_t d1 = p_[0];
                const std::uint8_t d2 = n == 2 ? p_[1] : 0;
                if ((d1 | d2) & 0x80) return MidiFehler::UngültigesByte;
                p_ += n;
                if (auto f = ablegen(t, status, d1, d2, 0); f != MidiFehler::Keiner) return f;
            } else if (status == 0xFF) {
                if (p_ >= ende_) return MidiFehler::Abgeschnitten;
                const std::uint8_t art = *p_++;
                std::uint32_t länge = 0;
                if (auto f = zahl(länge); f != MidiFehler::Keiner) return f;
                if (static_cast<std::size_t>(ende_ - p_) < länge) return MidiFehler::Abgeschnitten;
                if (art == 0x2F) { // end of track: anything after it is not part of the piece
                    endeTick = t;
                    return MidiFehler::Keiner;
                }
                if (art == 0x51 && länge == 3) {
                    const std::uint32_t wert = (std::uint32_t(p_[0]) << 16) | (std::uint32_t(p_[1]) << 8) | p_[2];
                    // A tempo of zero would stop time altogether; such an event is ignored.
                    if (wert != 0) {
                        // Tempo events cost memory and time like any other.
                        if (tempi_.size() + stück_.ereignisse.size() >= MaxMidiEreignisse)
                            return MidiFehler::ZuVieleEreignisse;
                        tempi_.push_back({t, wert});
                    }
                }
                p_ += länge;
            } else if (status == 0xF0 || status == 0xF7) {
                std::uint32_t länge = 0;
                if (auto f = zahl(länge); f != MidiFehler::Keiner) return f;
                if (static_cast<std::size_t>(ende_ - p_) < länge) return MidiFehler::Abgeschnitten;
                const auto index = static_cast<std::uint32_t>(stück_.sysex.size());
                stück_.sysex.push_back({static_cast<std::uint32_t>(stück_.sysexdaten.size()), länge});
                stück_.sysexdaten.insert(stück_.sysexdaten.end(), p_, p_ + länge);
                p_ += länge;
                if (auto f = ablegen(t, status, 0, 0, index); f != MidiFehler::Keiner) return f;
            } else {
                // System common and real-time bytes have no place in a file.
                return MidiFehler::UngültigesByte;
            }
        }
        // A track that ends without its end-of-track event: take the last time.
        endeTick = static_cast<std::uint32_t>(tick);
        return MidiFehler::Keiner;
    }

private:
    MidiFehler zahl(std::uint32_t& wert) {
        wert = 0;
        for (int i = 0; i < 4; ++i) {
            if (p_ >= ende_) return MidiFehler::Abgeschnitten;
            const std::uint8_t b = *p_++;
            wert = (wert << 7) | (b & 0x7F);
            if (!(b & 0x80)) return MidiFehler::Keiner;
        }
        return MidiFehler::ZahlZuLang;
    }

    MidiFehler ablegen(std::uint32_t tick, std::uint8_t status, std::uint8_t d1, std::uint8_t d2, std::uint32_t sysex) {
        if (stück_.ereignisse.size() + tempi_.size() >= MaxMidiEreignisse) return MidiFehler::ZuVieleEreignisse;
        MidiEreignis e;
        e.tick = tick;
        e.status = status;
        e.daten1 = d1;
        e.daten2 = d2;
        e.sysex = sysex;
        e.spur = spur_;
        stück_.ereignisse.push_back(e);
        return MidiFehler::Keiner;
    }

    const std::uint8_t* p_;
    const std::uint8_t* ende_;
    std::uint16_t spur_;
    MidiStück& stück_;
    std::vector<Rohtempo>& tempi_;
};

} // namespace

double MidiStück::msBeiTick(std::uint64_t tick) const {
    if (smpte()) {
        const double ticksProSekunde = smpteRate(teilung) * (teilung & 0xFF);
        return static_cast<double>(tick) * 1000.0 / ticksProSekunde;
    }
    // The last tempo point at or before the tick.
    auto it = std::upper_bound(tempokarte.begin(), tempokarte.end(), tick,
                               [](std::uint64_t t, const Tempopunkt& p) { return t < p.tick; });
    const Tempopunkt& p = it == tempokarte.begin() ? tempokarte.front() : *std::prev(it);
    return p.ms + static_cast<double>(tick - p.tick) * p.mikrosProViertel / (1000.0 * teilung);
}

std::uint32_t MidiStück::tempoBeiMs(double ms) const {
    auto it = std::upper_bound(tempokarte.begin(), tempokarte.end(), ms,
                               [](double m, const Tempopunkt& p) { return m < p.ms; });
    return it == tempokarte.begin() ? StandardTempo : std::prev(it)->mikrosProViertel;
}

MidiFehler leseMidi(std::span<const std::uint8_t> daten, MidiStück& aus) {
    aus = MidiStück{};
    if (daten.size() > MaxMidiDateigröße) return MidiFehler::DateiZuGroß;
    if (daten.size() < 8 || std::memcmp(daten.data(), "MThd", 4) != 0) return MidiFehler::KeinKopf;
    const std::uint8_t* const anfang = daten.data();
    const std::uint8_t* const ende = anfang + daten.size();
    const std::uint32_t kopflänge = be32(anfang + 4);
    if (kopflänge < 6) return MidiFehler::KopfZuKurz;
    if (static_cast<std::size_t>(ende - anfang - 8) < kopflänge) return MidiFehler::Abgeschnitten;

    MidiStück stück;
    stück.format = be16(anfang + 8);
    stück.spuren = be16(anfang + 10);
    stück.teilung = be16(anfang + 12);
    if (stück.format > 1) return MidiFehler::FormatUnbekannt;
    if (stück.spuren == 0) return MidiFehler::KeineSpuren;
    if (stück.spuren > MaxMidiSpuren) return MidiFehler::ZuVieleSpuren;
    if (stück.smpte()) {
        const int fps = -static_cast<int>(static_cast<std::int8_t>(stück.teilung >> 8));
        if (fps != 24 && fps != 25 && fps != 29 && fps != 30) return MidiFehler::SmpteUngültig;
        if ((stück.teilung & 0xFF) == 0) return MidiFehler::TeilungNull;
    } else if (stück.teilung == 0) {
        return MidiFehler::TeilungNull;
    }

    std::vector<Rohtempo> tempi;
    const std::uint8_t* p = anfang + 8 + kopflänge;
    int gelesen = 0;
    while (gelesen < stück.spuren) {
        if (ende - p < 8) return MidiFehler::Abgeschnitten;
        const std::uint32_t länge = be32(p + 4);
        const bool spur = std::memcmp(p, "MTrk", 4) == 0;
        p += 8;
        if (static_cast<std::size_t>(ende - p) < länge) return MidiFehler::Abgeschnitten;
        if (spur) { // chunks of other types are skipped, as the file format asks
            std::uint32_t endeTick = 0;
            Spurleser leser(p, p + länge, static_cast<std::uint16_t>(gelesen), stück, tempi);
            if (auto f = leser.lesen(endeTick); f != MidiFehler::Keiner) return f;
            stück.längeTicks = std::max(stück.längeTicks, endeTick);
            ++gelesen;
        }
        p += länge;
    }

    // One list in time order. The tracks were appended one after the other,
    // so a stable sort keeps events of the same tick in track order, and in
    // file order within a track.
    std::stable_sort(stück.ereignisse.begin(), stück.ereignisse.end(),
                     [](const MidiEreignis& a, const MidiEreignis& b) { return a.tick < b.tick; });

    // The tempo map: a tempo event counts from its tick whichever track holds
    // it; of several at the same tick the last one read wins.
    std::stable_sort(tempi.begin(), tempi.end(), [](const Rohtempo& a, const Rohtempo& b) { return a.tick < b.tick; });
    stück.tempokarte.push_back({0, 0.0, StandardTempo});
    for (const Rohtempo& t : tempi) {
        const double ms = stück.msBeiTick(t.tick);
        if (stück.tempokarte.back().tick == t.tick) {
            stück.tempokarte.back().mikrosProViertel = t.wert;
        } else {
            stück.tempokarte.push_back({t.tick, ms, t.wert});
        }
    }

    // Milliseconds for every event, walking the map alongside the sorted list.
    std::size_t punkt = 0;
    for (MidiEreignis& e : stück.ereignisse) {
        if (stück.smpte()) {
            e.ms = stück.msBeiTick(e.tick);
            continue;
        }
        while (punkt + 1 < stück.tempokarte.size() && stück.tempokarte[punkt + 1].tick <= e.tick) ++punkt;
        const Tempopunkt& tp = stück.tempokarte[punkt];
        e.ms = tp.ms + static_cast<double>(e.tick - tp.tick) * tp.mikrosProViertel / (1000.0 * stück.teilung);
    }
    stück.längeMs = stück.msBeiTick(stück.längeTicks);
    aus = std::move(stück);
    return MidiFehler::Keiner;
}

MidiFehler leseMidiDatei(const std::string& pfad, MidiStück& aus) {
    aus = MidiStück{};
    std::ifstream datei(utf8Pfad(pfad), std::ios::binary);
    if (!datei) return MidiFehler::DateiUnlesbar;
    datei.seekg(0, std::ios::end);
    const std::streamoff größe = datei.tellg();
    if (größe < 0) return MidiFehler::DateiUnlesbar;
    if (static_cast<std::uint64_t>(größe) > MaxMidiDateigröße) return MidiFehler::DateiZuGroß;
    datei.seekg(0, std::ios::beg);
    std::vector<std::uint8_t> daten(static_cast<std::size_t>(größe));
    if (größe > 0 && !datei.read(reinterpret_cast<char*>(daten.data()), größe)) return MidiFehler::DateiUnlesbar;
    return leseMidi(daten, aus);
}

} // namespace qmb
