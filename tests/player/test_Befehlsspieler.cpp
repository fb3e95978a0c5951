#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <memory>
#include <thread>

#include "Attrappen.h"
#include "SmfBauer.h"
#include "sound/modSound.h"
#include "sound/player/Musikspieler.h"

namespace qmb {
namespace {

using test::smf;
using test::Spur;

// 1500 ms: 960 ticks at 120 bpm, then 960 ticks at 240 bpm (480 a quarter).
std::vector<std::uint8_t> stückA() {
    Spur s;
    s.programm(0, 0, 19).an(0, 0, 60).aus(960, 0, 60).tempo(0, 250000).an(0, 0, 64).aus(960, 0, 64).ende();
    return smf(0, 480, {s});
}

// 3000 ms at the default 120 bpm (96 a quarter), notes all the way.
std::vector<std::uint8_t> stückB() {
    Spur s;
    for (int i = 0; i < 6; ++i) s.an(0, 0, 60 + i).aus(96, 0, 60 + i);
    s.ende();
    return smf(0, 96, {s});
}

class Spieler : public ::testing::Test {
protected:
    // Offline at 64000 frames a second, one block to the millisecond, and no
    // SoundFont: time only moves through vorrücken().
    Spielereinstellungen offline() {
        Spielereinstellungen e;
        e.ausgabe = Spielereinstellungen::Ausgabe::Offline;
        e.schriften = {(ordner.pfad() / "kein.sf2").string()};
        e.klang.abtastrate = 64000;
        return e;
    }
    unsigned senden(Befehlsspieler& s, const std::string& befehl) {
        std::string antwort;
        return s.mciSendString(befehl, antwort);
    }
    std::string frage(Befehlsspieler& s, const std::string& befehl) {
        std::string antwort;
        s.mciSendString(befehl, antwort);
        return antwort;
    }
    std::string position(Befehlsspieler& s, const std::string& alias) {
        return frage(s, "status " + alias + " position");
    }

    test::Ordner ordner{"quambel-spieler"};
    const std::string a = ordner.schreiben("game1.qmb", stückA());
    const std::string b = ordner.schreiben("won.qmb", stückB());
};

TEST_F(Spieler, LaengePositionPauseUndEnde) {
    Befehlsspieler s(offline());
    ASSERT_EQ(senden(s, "open " + a + " type MPEGVideo alias qmbgame"), 0u);
    EXPECT_EQ(frage(s, "status qmbgame length"), "1500");
    EXPECT_EQ(position(s, "qmbgame"), "0");
    ASSERT_EQ(senden(s, "play qmbgame from 0"), 0u);
    s.vorrücken(250);
    EXPECT_EQ(position(s, "qmbgame"), "250");
    ASSERT_EQ(senden(s, "stop qmbgame"), 0u);
    s.vorrücken(300);
    EXPECT_EQ(position(s, "qmbgame"), "250");
    ASSERT_EQ(senden(s, "play qmbgame"), 0u);
    s.vorrücken(100.5);
    s.vorrücken(0.5); // the half milliseconds add up to a whole block
    EXPECT_EQ(position(s, "qmbgame"), "351");
    ASSERT_EQ(senden(s, "play qmbgame from 1000"), 0u);
    EXPECT_EQ(position(s, "qmbgame"), "1000");
    s.vorrücken(700);
    EXPECT_EQ(position(s, "qmbgame"), "1500");
    // At the end a plain play leaves it there: position stays equal to length.
    ASSERT_EQ(senden(s, "play qmbgame"), 0u);
    s.vorrücken(100);
    EXPECT_EQ(position(s, "qmbgame"), "1500");
    ASSERT_EQ(senden(s, "play qmbgame from 1500"), 0u);
    EXPECT_EQ(position(s, "qmbgame"), "1500");
}

TEST_F(Spieler, WiederholenUndDerSprungImJingle) {
    Befehlsspieler s(offline());
    ASSERT_EQ(senden(s, "open " + b + " type MPEGVideo alias qmbscore"), 0u);
    ASSERT_EQ(senden(s, "play qmbscore repeat from 0"), 0u);
    s.vorrücken(3400);
    EXPECT_EQ(position(s, "qmbscore"), "400");
    // The jingle restarts further on and plays once from there.
    ASSERT_EQ(senden(s, "play qmbscore from 2500"), 0u);
    s.vorrücken(600);
    EXPECT_EQ(position(s, "qmbscore"), "3000");
    s.vorrücken(1000);
    EXPECT_EQ(position(s, "qmbscore"), "3000");
    // Repeat without a position goes on from where it stands; from the end, from 0.
    ASSERT_EQ(senden(s, "play qmbscore repeat"), 0u);
    s.vorrücken(120);
    EXPECT_EQ(position(s, "qmbscore"), "120");
}

TEST_F(Spieler, ZweiAliaseLaufenNebeneinander) {
    Befehlsspieler s(offline());
    ASSERT_EQ(senden(s, "open " + a + " type MPEGVideo alias qmbgame"), 0u);
    ASSERT_EQ(senden(s, "open " + b + " type MPEGVideo alias qmbscore"), 0u);
    ASSERT_EQ(senden(s, "play qmbgame from 0"), 0u);
    s.vorrücken(200);
    ASSERT_EQ(senden(s, "stop qmbgame"), 0u);
    ASSERT_EQ(senden(s, "play qmbscore from 0"), 0u);
    s.vorrücken(300);
    EXPECT_EQ(position(s, "qmbgame"), "200");
    EXPECT_EQ(position(s, "qmbscore"), "300");
    ASSERT_EQ(senden(s, "close qmbscore"), 0u);
    ASSERT_EQ(senden(s, "play qmbgame"), 0u);
    s.vorrücken(100);
    EXPECT_EQ(position(s, "qmbgame"), "300");
    // The closed alias is free again, and can hold a different piece.
    ASSERT_EQ(senden(s, "open " + a + " type MPEGVideo alias qmbscore"), 0u);
    EXPECT_EQ(frage(s, "status qmbscore length"), "1500");
}

TEST_F(Spieler, SchreibweiseUndNamenMitLeerzeichen) {
    std::filesystem::create_directories(ordner.pfad() / "mit Leer");
    const std::string pfad = (ordner.pfad() / "mit Leer" / "lost.qmb").string();
    std::filesystem::copy_file(a, pfad);
    Befehlsspieler s(offline());
    ASSERT_EQ(senden(s, "OPEN \"" + pfad + "\" TYPE mpegvideo ALIAS QmbGame"), 0u);
    EXPECT_EQ(frage(s, "Status qmbgame LENGTH"), "1500");
    EXPECT_EQ(senden(s, "Play QMBGAME From 100"), 0u);
    EXPECT_EQ(position(s, "qmbGame"), "100");
}

TEST_F(Spieler, FehlerHabenKeineWirkung) {
    ordner.schreiben("text.qmb", {'k', 'e', 'i', 'n', ' ', 'M', 'I', 'D', 'I'});
    const std::string text = (ordner.pfad() / "text.qmb").string();
    Befehlsspieler s(offline());

    std::string antwort = "alt";
    EXPECT_EQ(s.mciSendString("status qmbgame length", antwort), unsigned(MciUnbekanntesGerät));
    EXPECT_EQ(antwort, "0");
    EXPECT_EQ(position(s, "qmbgame"), "0");
    EXPECT_NE(senden(s, "play qmbgame from 0"), 0u);
    EXPECT_NE(senden(s, "play qmbgame"), 0u);
    EXPECT_NE(senden(s, "stop qmbgame"), 0u);
    EXPECT_NE(senden(s, "close qmbgame"), 0u);
    EXPECT_EQ(senden(s, "fly qmbgame"), unsigned(MciUnbekannterBefehl));
    EXPECT_NE(senden(s, ""), 0u);
    EXPECT_EQ(senden(s, "open " + (ordner.pfad() / "fehlt.qmb").string() + " type MPEGVideo alias qmbgame"),
              unsigned(MciDateiFehlt));
    EXPECT_EQ(senden(s, "open " + text + " type MPEGVideo alias qmbgame"), unsigned(MciUngültigeDatei));
    // What the game sends when the file is missing: no name at all.
    EXPECT_NE(senden(s, "open  type MPEGVideo alias qmbgame"), 0u);
    EXPECT_NE(senden(s, "open " + a + " type MPEGVideo"), 0u);
    EXPECT_NE(senden(s, "open " + a + " type waveaudio alias qmbgame"), 0u);
    EXPECT_NE(senden(s, "open \"" + a + " type MPEGVideo alias qmbgame"), 0u);
    EXPECT_EQ(frage(s, "status qmbgame length"), "0");

    ASSERT_EQ(senden(s, "open " + a + " type MPEGVideo alias qmbgame"), 0u);
    ASSERT_EQ(senden(s, "play qmbgame from 100"), 0u);
    EXPECT_EQ(senden(s, "open " + b + " type MPEGVideo alias QMBGAME"), unsigned(MciAliasBelegt));
    EXPECT_EQ(frage(s, "status qmbgame length"), "1500");
    EXPECT_EQ(senden(s, "play qmbgame from 1501"), unsigned(MciAußerhalb));
    EXPECT_EQ(senden(s, "play qmbgame from -5"), unsigned(MciKeineZahl));
    EXPECT_EQ(senden(s, "play qmbgame from"), unsigned(MciParameterFehlt));
    EXPECT_EQ(senden(s, "play qmbgame to 900"), unsigned(MciUnbekanntesWort));
    EXPECT_NE(senden(s, "status qmbgame volume"), 0u);
    EXPECT_NE(senden(s, "stop qmbgame now"), 0u);
    s.vorrücken(50);
    EXPECT_EQ(position(s, "qmbgame"), "150"); // still playing from 100, untouched

    ASSERT_EQ(senden(s, "open " + b + " type MPEGVideo alias qmbscore"), 0u);
    EXPECT_EQ(senden(s, "open " + b + " type MPEGVideo alias dritter"), unsigned(MciKeinGerätFrei));
    ASSERT_EQ(senden(s, "close qmbgame"), 0u);
    EXPECT_EQ(frage(s, "status qmbgame position"), "0");
    EXPECT_NE(senden(s, "close qmbgame"), 0u);
}

TEST_F(Spieler, DieMusikroutinenDesSpielsMitUnseremSpieler) {
    std::filesystem::create_directories(ordner.pfad() / "Qmb Sound");
    const std::string spiel = (ordner.pfad() / "Qmb Sound" / "game1.qmb").string();
    std::filesystem::copy_file(a, spiel);
    Befehlsspieler s(offline());
    test::TestProgramm programm;
    test::SkriptFenster fenster;
    modSound ton(s, programm, fenster);
    ton.MusikAn = true;

    ton.MciSpielen(spiel, "qmbgame");
    s.vorrücken(700);
    EXPECT_FALSE(ton.StückZuEnde("qmbgame"));
    ton.MciStoppen("qmbgame");
    ton.MciEndlosSpielen(b, "qmbscore");
    EXPECT_EQ(ton.MciAbfrage("play qmbscore from 2500"), 0);
    s.vorrücken(600);
    EXPECT_TRUE(ton.StückZuEnde("qmbscore"));
    ton.MciSchließen("qmbscore");
    ton.MciFortsetzen("qmbgame");
    EXPECT_EQ(ton.MciAbfrage("status qmbgame position"), 700);
    s.vorrücken(799);
    EXPECT_FALSE(ton.StückZuEnde("qmbgame"));
    s.vorrücken(1);
    EXPECT_TRUE(ton.StückZuEnde("qmbgame"));
    ton.MciSchließen("qmbgame");
    EXPECT_TRUE(ton.StückZuEnde("qmbgame")); // 0 and 0 once closed
}

// Without sound the player says so in one line and runs on the clock (here
// an injected one), so positions and the end of a piece behave as with sound.
void stummAufDerUhr(Spielereinstellungen e, const std::string& a, const std::string& grund) {
    auto jetzt = std::make_shared<std::atomic<std::int64_t>>(5'000'000'000);
    e.ausgabe = Spielereinstellungen::Ausgabe::Gerät;
    e.klang.abtastrate = 64000;
    e.uhr = [jetzt] { return std::chrono::nanoseconds(jetzt->load()); };
    auto weiter = [&](std::int64_t ms) { *jetzt += ms * 1'000'000; };
    std::string antwort;
    auto frage = [&](Befehlsspieler& s, const std::string& befehl) {
        s.mciSendString(befehl, antwort);
        return antwort;
    };
    auto senden = [&](Befehlsspieler& s, const std::string& befehl) { return s.mciSendString(befehl, antwort); };

    ::testing::internal::CaptureStderr();
    Befehlsspieler s(e);
    EXPECT_FALSE(s.warteAufKlang());
    const std::string fehler = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(fehler.find("keine Tonausgabe (" + grund + ")"), std::string::npos) << fehler;
    EXPECT_EQ(std::count(fehler.begin(), fehler.end(), '\n'), 1) << fehler;
    EXPECT_EQ(s.klang(), nullptr);

    ASSERT_EQ(senden(s, "open " + a + " type MPEGVideo alias qmbgame"), 0u);
    weiter(1000); // time before the play does not count
    ASSERT_EQ(senden(s, "play qmbgame from 0"), 0u);
    weiter(400);
    EXPECT_EQ(frage(s, "status qmbgame position"), "400");
    ASSERT_EQ(senden(s, "stop qmbgame"), 0u);
    weiter(5000);
    EXPECT_EQ(frage(s, "status qmbgame position"), "400");
    ASSERT_EQ(senden(s, "play qmbgame"), 0u);
    weiter(1099);
    EXPECT_EQ(frage(s, "status qmbgame position"), "1499");
    weiter(3000);
    EXPECT_EQ(frage(s, "status qmbgame position"), "1500");
    EXPECT_EQ(frage(s, "status qmbgame length"), "1500");
    EXPECT_TRUE(s.vorrücken(100).empty()); // offline rendering is not for this mode
}

TEST_F(Spieler, OhneSoundFontStummAufDerUhr) {
    Spielereinstellungen e;
    e.schriften = {(ordner.pfad() / "kein.sf2").string()};
    stummAufDerUhr(e, a, "kein SoundFont");
}

// With a real SoundFont, rendered offline: the piece must be heard.
class MitSoundFont : public Spieler {
protected:
    void SetUp() override {
        for (const std::string& p : FluidKlang::schriftKandidaten()) {
            std::error_code f;
            if (std::filesystem::is_regular_file(p, f)) {
                schrift = p;
                break;
            }
        }
        if (schrift.empty()) GTEST_SKIP() << "no SoundFont installed";
    }
    static double rms(const std::vector<float>& t) {
        double summe = 0;
        for (float x : t) summe += double(x) * x;
        return t.empty() ? 0.0 : std::sqrt(summe / t.size());
    }
    std::string schrift;
};

TEST_F(MitSoundFont, OhneAudiogeraetStummAufDerUhr) {
    Spielereinstellungen e;
    e.schriften = {schrift};
    e.treiber = {"kein-solcher-treiber"}; // FluidSynth knows no such driver: as without a sound card
    stummAufDerUhr(e, a, "kein Audiogerät");
}

TEST_F(MitSoundFont, StueckKlingtUndKanalzustandKommtAn) {
    Spur s;
    s.programm(0, 0, 0).cc(0, 0, 7, 110).biegung(0, 1, 9000).programm(0, 1, 40);
    for (int i = 0; i < 8; ++i) s.an(0, 0, 60 + i, 110).an(0, 9, 36 + (i % 2) * 2, 120).aus(48, 0, 60 + i).aus(0, 9, 36 + (i % 2) * 2);
    s.ende();
    const std::string datei = ordner.schreiben("dicht.qmb", smf(0, 96, {s}));

    Spielereinstellungen e;
    e.ausgabe = Spielereinstellungen::Ausgabe::Offline;
    e.schriften = {schrift};
    Befehlsspieler p(e);
    ASSERT_TRUE(p.warteAufKlang());
    ASSERT_EQ(senden(p, "open " + datei + " type MPEGVideo alias qmbgame"), 0u);
    ASSERT_EQ(senden(p, "open " + datei + " type MPEGVideo alias qmbscore"), 0u);
    EXPECT_LT(rms(p.vorrücken(200)), 1e-6); // nothing plays yet

    ASSERT_EQ(senden(p, "play qmbgame from 0"), 0u);
    const double eins = rms(p.vorrücken(1000));
    EXPECT_GT(eins, 1e-3);

    // The second piece sounds on channels 16 to 31, its drums on 25.
    ASSERT_EQ(senden(p, "stop qmbgame"), 0u);
    p.vorrücken(1500); // the released notes die away
    ASSERT_EQ(senden(p, "play qmbscore from 100"), 0u);
    EXPECT_GT(rms(p.vorrücken(1000)), 1e-3);
    const FluidKlang* k = p.klang();
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->bank(25), 128);
    EXPECT_EQ(k->programm(17), 40);
    EXPECT_EQ(k->regler(16, 7), 110);
    EXPECT_EQ(k->biegung(17), 9000);
    // The first piece was stopped: all its channels are quiet.
    EXPECT_EQ(k->regler(0, 64), 0);
}

TEST_F(MitSoundFont, TreiberpufferJederLaengeGebenDenselbenKlang) {
    // The sound card asks for buffers of its own size, never whole blocks.
    // Cut into such buffers the sound must be the very same as block by block.
    Spielereinstellungen e;
    e.ausgabe = Spielereinstellungen::Ausgabe::Offline;
    e.schriften = {schrift};
    Befehlsspieler blockweise(e), gepuffert(e);
    ASSERT_TRUE(blockweise.warteAufKlang());
    ASSERT_TRUE(gepuffert.warteAufKlang());
    for (Befehlsspieler* s : {&blockweise, &gepuffert}) {
        ASSERT_EQ(senden(*s, "open " + a + " type MPEGVideo alias qmbgame"), 0u);
        ASSERT_EQ(senden(*s, "play qmbgame from 900"), 0u);
    }
    const std::vector<float> soll = blockweise.vorrücken(700); // 482 blocks, 30848 frames
    ASSERT_EQ(soll.size(), 2u * 30848);
    ASSERT_GT(rms(soll), 1e-3);

    std::vector<float> l(30848, 1.0f), r(30848, 1.0f);
    const int größen[] = {100, 37, 1000, 64, 1, 441, 2048};
    int fertig = 0;
    for (int i = 0; fertig < 30848; ++i) {
        const int n = std::min(größen[i % 7], 30848 - fertig);
        gepuffert.ausgabeFüllen(l.data() + fertig, r.data() + fertig, n);
        fertig += n;
    }
    int anders = 0;
    for (int i = 0; i < 30848; ++i) anders += l[i] != soll[2 * i] || r[i] != soll[2 * i + 1];
    EXPECT_EQ(anders, 0);
    EXPECT_EQ(position(gepuffert, "qmbgame"), position(blockweise, "qmbgame"));
    EXPECT_EQ(position(gepuffert, "qmbgame"), "1500"); // 900 + 699.5 ms is past the end
}

TEST_F(MitSoundFont, BefehleWaehrendDerTreiberRendert) {
    // The game's commands come from the UI thread while the audio thread
    // renders. Neither may wait forever for the other, and every answer stays
    // within the piece.
    Spielereinstellungen e;
    e.ausgabe = Spielereinstellungen::Ausgabe::Offline;
    e.schriften = {schrift};
    Befehlsspieler p(e);
    ASSERT_TRUE(p.warteAufKlang());
    std::atomic<bool> halt{false};
    std::atomic<long> puffer{0};
    std::thread treiber([&] {
        std::vector<float> l(441), r(441);
        while (!halt) {
            p.ausgabeFüllen(l.data(), r.data(), 441);
            ++puffer;
        }
    });
    std::string antwort;
    int außerhalb = 0;
    for (int runde = 0; runde < 200; ++runde) {
        senden(p, "open " + a + " type MPEGVideo alias qmbgame");
        senden(p, "open " + b + " type MPEGVideo alias qmbscore");
        senden(p, "play qmbgame repeat from " + std::to_string(runde * 7 % 1500));
        senden(p, "play qmbscore from 0");
        for (int i = 0; i < 5; ++i) {
            p.mciSendString("status qmbgame position", antwort);
            außerhalb += std::stoll(antwort) > 1500;
            p.mciSendString("status qmbscore position", antwort);
            außerhalb += std::stoll(antwort) > 3000;
        }
        senden(p, "stop qmbgame");
        senden(p, "play qmbgame");
        if (runde % 3 == 0) senden(p, "close qmbscore");
        if (runde % 5 == 0) senden(p, "close qmbgame");
    }
    // Let the driver run on its own a little: commands must not have stalled it.
    const long vorher = puffer;
    while (puffer < vorher + 20) std::this_thread::yield();
    halt = true;
    treiber.join();
    EXPECT_EQ(außerhalb, 0);
}

TEST_F(MitSoundFont, PauseVerstummt) {
    Spur s;
    s.an(0, 0, 60, 120).aus(96 * 8, 0, 60).ende(); // one long note
    const std::string datei = ordner.schreiben("lang.qmb", smf(0, 96, {s}));
    Spielereinstellungen e;
    e.ausgabe = Spielereinstellungen::Ausgabe::Offline;
    e.schriften = {schrift};
    Befehlsspieler p(e);
    ASSERT_TRUE(p.warteAufKlang());
    ASSERT_EQ(senden(p, "open " + datei + " type MPEGVideo alias qmbgame"), 0u);
    ASSERT_EQ(senden(p, "play qmbgame from 0"), 0u);
    p.vorrücken(300);
    EXPECT_GT(p.klang()->stimmen(), 0);
    ASSERT_EQ(senden(p, "stop qmbgame"), 0u);
    p.vorrücken(3000);
    EXPECT_EQ(p.klang()->stimmen(), 0);
    EXPECT_LT(rms(p.vorrücken(100)), 1e-4);
    // Time passes in whole blocks of 64 frames: of the 13230 frames in 300 ms
    // at 44.1 kHz, 206 blocks (13184 frames, 298.95 ms) were played before the
    // stop, and the rest waits for the next vorrücken(). Positions count whole
    // milliseconds played, so the stop came at 298, and the play resumes there.
    ASSERT_EQ(p.abtastrate(), 44100);
    EXPECT_EQ(position(p, "qmbgame"), "298");
    ASSERT_EQ(senden(p, "play qmbgame"), 0u);
    EXPECT_EQ(position(p, "qmbgame"), "298");
    // 3400 ms asked for so far are 149940 frames: 2342 blocks rendered, 52
    // frames over. 200 ms more reach frame 158760, block 2480: 138 blocks of
    // the piece after the 206 before the stop, 22016 frames or 499.2 ms.
    p.vorrücken(200);
    EXPECT_EQ(position(p, "qmbgame"), "499");
}

} // namespace
} // namespace qmb
