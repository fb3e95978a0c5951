#include <gtest/gtest.h>

#include "sound/player/MidiDatei.h"
#include "SmfBauer.h"

namespace qmb {
namespace {

using test::smf;
using test::Spur;

MidiStück lesen(const std::vector<std::uint8_t>& d) {
    MidiStück s;
    const MidiFehler f = leseMidi(d, s);
    EXPECT_EQ(f, MidiFehler::Keiner) << fehlertext(f);
    return s;
}

TEST(MidiDatei, TempoWechselMittenImStueck) {
    // 480 ticks a quarter. At 120 bpm (500000 us) tick 960 is 1000 ms; from
    // there at 240 bpm (250000 us) 480 ticks take 250 ms.
    Spur s;
    s.an(0, 0, 60).aus(960, 0, 60).tempo(0, 250000).an(480, 0, 62).aus(240, 0, 62).ende(240);
    const MidiStück st = lesen(smf(0, 480, {s}));
    ASSERT_EQ(st.ereignisse.size(), 4u);
    EXPECT_DOUBLE_EQ(st.ereignisse[0].ms, 0.0);
    EXPECT_DOUBLE_EQ(st.ereignisse[1].ms, 1000.0);
    EXPECT_DOUBLE_EQ(st.ereignisse[2].ms, 1250.0);
    EXPECT_DOUBLE_EQ(st.ereignisse[3].ms, 1375.0);
    EXPECT_EQ(st.längeTicks, 1920u);
    EXPECT_DOUBLE_EQ(st.längeMs, 1500.0);
    ASSERT_EQ(st.tempokarte.size(), 2u);
    EXPECT_EQ(st.tempoBeiMs(999), 500000u);
    EXPECT_EQ(st.tempoBeiMs(1200), 250000u);
}

TEST(MidiDatei, Format1TempoInSpaeterSpurGiltFuerAlle) {
    // The tempo track comes second: its change at tick 96 still times track 0.
    Spur noten, tempo;
    noten.programm(0, 0, 5).an(0, 0, 60).aus(192, 0, 60).ende();
    tempo.tempo(0, 1000000).tempo(96, 2000000).ende();
    const MidiStück st = lesen(smf(1, 96, {noten, tempo}));
    ASSERT_EQ(st.ereignisse.size(), 3u);
    // 96 ticks at 1 s a quarter, then 96 ticks at 2 s a quarter.
    EXPECT_DOUBLE_EQ(st.ereignisse[2].ms, 3000.0);
    EXPECT_DOUBLE_EQ(st.längeMs, 3000.0);
}

TEST(MidiDatei, GleicheTicksBleibenInSpurUndDateiReihenfolge) {
    Spur a, b;
    a.an(10, 0, 60).cc(0, 0, 7, 1).ende();
    b.an(5, 1, 40).an(5, 1, 41).ende(100);
    const MidiStück st = lesen(smf(1, 96, {a, b}));
    ASSERT_EQ(st.ereignisse.size(), 4u);
    EXPECT_EQ(st.ereignisse[0].tick, 5u);
    EXPECT_EQ(st.ereignisse[0].daten1, 40);
    // At tick 10 track 0 comes first, in its own order, then track 1.
    EXPECT_EQ(st.ereignisse[1].status, 0x90);
    EXPECT_EQ(st.ereignisse[2].status, 0xB0);
    EXPECT_EQ(st.ereignisse[3].daten1, 41);
    EXPECT_EQ(st.ereignisse[3].spur, 1);
    // The longest track (ending at tick 110) sets the length.
    EXPECT_EQ(st.längeTicks, 110u);
}

TEST(MidiDatei, LaufstatusAuchUeberMetaEreignisse) {
    Spur s;
    s.roh(0, {0x91, 60, 100}).roh(10, {62, 90}).roh(0, {0xFF, 0x01, 0x02, 'h', 'i'}).roh(10, {64, 0}).ende();
    const MidiStück st = lesen(smf(0, 96, {s}));
    ASSERT_EQ(st.ereignisse.size(), 3u);
    for (const auto& e : st.ereignisse) EXPECT_EQ(e.status, 0x91);
    EXPECT_EQ(st.ereignisse[1].daten1, 62);
    EXPECT_EQ(st.ereignisse[2].daten1, 64);
    EXPECT_EQ(st.ereignisse[2].daten2, 0);
}

TEST(MidiDatei, EinDatenbyteProgrammUndDruck) {
    Spur s;
    s.roh(0, {0xC2, 7}).roh(0, {9}).roh(0, {0xD2, 50}).roh(0, {51}).ende();
    const MidiStück st = lesen(smf(0, 96, {s}));
    ASSERT_EQ(st.ereignisse.size(), 4u);
    EXPECT_EQ(st.ereignisse[1].status, 0xC2);
    EXPECT_EQ(st.ereignisse[1].daten1, 9);
    EXPECT_EQ(st.ereignisse[3].status, 0xD2);
    EXPECT_EQ(st.ereignisse[3].daten1, 51);
}

TEST(MidiDatei, SmpteTeilung) {
    // 25 frames of 40 ticks: 1000 ticks a second; tempo events do not count.
    Spur s;
    s.tempo(0, 100000).an(500, 0, 60).ende(1500);
    const std::uint16_t teilung = std::uint16_t((0x100 - 25) << 8 | 40);
    const MidiStück st = lesen(smf(0, teilung, {s}));
    ASSERT_EQ(st.ereignisse.size(), 1u);
    EXPECT_DOUBLE_EQ(st.ereignisse[0].ms, 500.0);
    EXPECT_DOUBLE_EQ(st.längeMs, 2000.0);

    // 29 means 29.97 frames a second (drop frame).
    const std::uint16_t ntsc = std::uint16_t((0x100 - 29) << 8 | 1);
    Spur t;
    t.ende(2997);
    EXPECT_NEAR(lesen(smf(0, ntsc, {t})).längeMs, 100000.0, 1e-6);
}

TEST(MidiDatei, SysexWirdMitDatenAbgelegt) {
    Spur s;
    s.roh(0, {0xF0, 0x03, 0x7E, 0x09, 0xF7}).roh(4, {0xF7, 0x02, 0x01, 0x02}).an(0, 0, 60).ende();
    const MidiStück st = lesen(smf(0, 96, {s}));
    ASSERT_EQ(st.ereignisse.size(), 3u);
    EXPECT_EQ(st.ereignisse[0].status, 0xF0);
    EXPECT_EQ(st.ereignisse[1].status, 0xF7);
    const Sysexblock& b = st.sysex[st.ereignisse[1].sysex];
    ASSERT_EQ(b.länge, 2u);
    EXPECT_EQ(st.sysexdaten[b.anfang], 0x01);
    EXPECT_EQ(st.sysexdaten[b.anfang + 1], 0x02);
    // A sysex event does not cancel the channel's running status here either.
    EXPECT_EQ(st.ereignisse[2].status, 0x90);
}

TEST(MidiDatei, FremdeChunksUndSpurOhneEnde) {
    Spur fremd;
    fremd.roh(0, {1, 2, 3});
    Spur s;
    s.an(0, 0, 60).aus(48, 0, 60); // no end-of-track event
    auto d = test::kopf(0, 1, 96);
    test::anhängen(d, fremd, "XFIH");
    test::anhängen(d, s);
    const MidiStück st = lesen(d);
    EXPECT_EQ(st.ereignisse.size(), 2u);
    EXPECT_EQ(st.längeTicks, 48u);
}

TEST(MidiDatei, NachDemSpurendeWirdNichtsMehrGelesen) {
    Spur s;
    s.an(0, 0, 60).ende(96).an(0, 0, 61).roh(0, {0x01}); // even junk after the end
    const MidiStück st = lesen(smf(0, 96, {s}));
    EXPECT_EQ(st.ereignisse.size(), 1u);
    EXPECT_DOUBLE_EQ(st.längeMs, 500.0);
}

struct Kaputt {
    const char* name;
    std::vector<std::uint8_t> daten;
    MidiFehler erwartet;
};

std::vector<Kaputt> kaputteDateien() {
    std::vector<Kaputt> k;
    auto mit = [](Spur s, int format = 0, std::uint16_t teilung = 96) { return smf(format, teilung, {s}); };
    Spur gut;
    gut.an(0, 0, 60).ende(10);
    k.push_back({"leer", {}, MidiFehler::KeinKopf});
    k.push_back({"kein MThd", {'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}, MidiFehler::KeinKopf});
    k.push_back({"Kopf zu kurz", {'M', 'T', 'h', 'd', 0, 0, 0, 4, 0, 0, 0, 1}, MidiFehler::KopfZuKurz});
    k.push_back({"Format 2", mit(gut, 2), MidiFehler::FormatUnbekannt});
    k.push_back({"keine Spuren", test::kopf(1, 0, 96), MidiFehler::KeineSpuren});
    k.push_back({"65535 Spuren", test::kopf(1, 65535, 96), MidiFehler::ZuVieleSpuren});
    k.push_back({"Teilung null", mit(gut, 0, 0), MidiFehler::TeilungNull});
    k.push_back({"SMPTE 23 fps", mit(gut, 0, std::uint16_t((0x100 - 23) << 8 | 10)), MidiFehler::SmpteUngültig});
    {
        auto d = test::kopf(1, 2, 96);
        test::anhängen(d, gut);
        k.push_back({"zweite Spur fehlt", d, MidiFehler::Abgeschnitten});
    }
    {
        auto d = mit(gut);
        d[18] = 0x7F; // track length far beyond the end
        k.push_back({"Spurlaenge zu gross", d, MidiFehler::Abgeschnitten});
    }
    {
        Spur s;
        s.roh(0, {0x90, 60});
        k.push_back({"Ereignis abgeschnitten", mit(s), MidiFehler::Abgeschnitten});
    }
    {
        Spur s;
        s.roh(0, {0xFF, 0x01, 0x40, 'x'});
        k.push_back({"Meta laenger als Spur", mit(s), MidiFehler::Abgeschnitten});
    }
    {
        Spur s;
        s.roh(0, {0xF0, 0x8F, 0xFF, 0xFF, 0x7F, 0x00});
        k.push_back({"Sysex laenger als Spur", mit(s), MidiFehler::Abgeschnitten});
    }
    {
        Spur s;
        s.b = {0x81, 0x80, 0x80, 0x80, 0x00, 0x90, 60, 100};
        k.push_back({"Zahl mit fuenf Bytes", mit(s), MidiFehler::ZahlZuLang});
    }
    {
        Spur s;
        s.roh(0, {60, 100});
        k.push_back({"Daten ohne Status", mit(s), MidiFehler::OhneLaufstatus});
    }
    {
        Spur s;
        s.roh(0, {0x90, 60, 0xB0});
        k.push_back({"Status statt Datenbyte", mit(s), MidiFehler::UngültigesByte});
    }
    {
        Spur s;
        s.roh(0, {0xF8});
        k.push_back({"Echtzeitbyte", mit(s), MidiFehler::UngültigesByte});
    }
    {
        Spur s;
        for (int i = 0; i < 17; ++i) s.roh(0x0FFFFFFF, {0x90, 60, 0});
        k.push_back({"mehr als 2^32 Ticks", mit(s), MidiFehler::ZuLang});
    }
    {
        std::vector<std::uint8_t> riesig(MaxMidiDateigröße + 1, 0);
        const auto kopf = mit(gut);
        std::copy(kopf.begin(), kopf.end(), riesig.begin());
        k.push_back({"zu gross", std::move(riesig), MidiFehler::DateiZuGroß});
    }
    return k;
}

TEST(MidiDatei, KaputteUndFeindseligeDateienWerdenAbgewiesen) {
    for (const Kaputt& k : kaputteDateien()) {
        MidiStück s;
        EXPECT_EQ(leseMidi(k.daten, s), k.erwartet) << k.name << ": " << fehlertext(leseMidi(k.daten, s));
        EXPECT_TRUE(s.ereignisse.empty()) << k.name;
    }
}

TEST(MidiDatei, ObergrenzeDerEreignisse) {
    // Running status: two bytes of note data plus one of delta per event.
    Spur s;
    s.roh(0, {0x90, 60, 100});
    s.b.reserve(MaxMidiEreignisse * 3 + 8);
    for (std::size_t i = 0; i < MaxMidiEreignisse; ++i) s.b.insert(s.b.end(), {0x00, 60, 0});
    MidiStück st;
    EXPECT_EQ(leseMidi(smf(0, 96, {s}), st), MidiFehler::ZuVieleEreignisse);

    // Tempo changes are not played but fill the tempo map: they count too
    // (seven bytes each, so the file stays below the size limit).
    Spur t;
    t.b.reserve((MaxMidiEreignisse + 1) * 7);
    for (std::size_t i = 0; i <= MaxMidiEreignisse; ++i) t.tempo(1, 500000 + i % 1000);
    EXPECT_EQ(leseMidi(smf(0, 96, {t}), st), MidiFehler::ZuVieleEreignisse);
    t.b.resize(t.b.size() - 7); // one fewer is fine
    t.ende();
    EXPECT_EQ(leseMidi(smf(0, 96, {t}), st), MidiFehler::Keiner);
    EXPECT_EQ(st.tempokarte.size(), MaxMidiEreignisse + 1); // with the 120 bpm at tick 0
}

} // namespace
} // namespace qmb
