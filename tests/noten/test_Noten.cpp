#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Noten.h"

namespace qmb::noten {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes übersetzen(const std::string& text) { return Übersetzen(text, "probe.txt"); }

// The chunks of a file, header first, each without its 8-byte chunk head.
std::vector<Bytes> chunks(const Bytes& datei) {
    std::vector<Bytes> aus;
    size_t i = 0;
    while (i + 8 <= datei.size()) {
        const std::uint32_t n = (std::uint32_t(datei[i + 4]) << 24) | (std::uint32_t(datei[i + 5]) << 16) |
                                (std::uint32_t(datei[i + 6]) << 8) | datei[i + 7];
        EXPECT_LE(i + 8 + n, datei.size()) << "chunk runs past the end";
        aus.emplace_back(datei.begin() + static_cast<long>(i + 8), datei.begin() + static_cast<long>(i + 8 + n));
        i += 8 + n;
    }
    EXPECT_EQ(i, datei.size());
    return aus;
}

// One note as a track chunk tells it: absolute ticks, pitch, velocity.
struct Note {
    std::uint32_t an = 0, aus = 0;
    int kanal = 0, ton = 0, stärke = 0;
    bool operator==(const Note&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Note& n) {
    return o << "{" << n.an << ".." << n.aus << " ch" << n.kanal << " n" << n.ton << " v" << n.stärke << "}";
}

struct Ereignis {
    std::uint32_t tick = 0;
    Bytes bytes; // with the status byte, running status undone
};

std::vector<Ereignis> ereignisse(const Bytes& spur) {
    std::vector<Ereignis> aus;
    size_t i = 0;
    std::uint32_t tick = 0;
    unsigned char status = 0;
    auto zahl = [&] {
        std::uint32_t v = 0;
        unsigned char b = 0;
        do {
            b = spur.at(i++);
            v = (v << 7) | (b & 0x7F);
        } while (b & 0x80);
        return v;
    };
    while (i < spur.size()) {
        tick += zahl();
        Ereignis e{tick, {}};
        if (spur.at(i) == 0xFF) {
            e.bytes = {0xFF, spur.at(i + 1)};
            i += 2;
            const std::uint32_t n = zahl();
            e.bytes.insert(e.bytes.end(), spur.begin() + static_cast<long>(i), spur.begin() + static_cast<long>(i + n));
            i += n;
        } else {
            if (spur.at(i) & 0x80) status = spur.at(i++);
            const int daten = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
            e.bytes = {status};
            for (int k = 0; k < daten; ++k) e.bytes.push_back(spur.at(i++));
        }
        aus.push_back(e);
    }
    return aus;
}

std::vector<Note> noten(const Bytes& spur) {
    std::vector<Note> aus;
    for (const Ereignis& e : ereignisse(spur)) {
        const int art = e.bytes[0] & 0xF0;
        if (art == 0x90 && e.bytes[2] > 0) {
            aus.push_back({e.tick, 0, e.bytes[0] & 0x0F, e.bytes[1], e.bytes[2]});
        } else if (art == 0x80 || art == 0x90) {
            for (Note& n : aus)
                if (n.ton == e.bytes[1] && n.aus == 0 && n.an <= e.tick) {
                    n.aus = e.tick;
                    break;
                }
        }
    }
    return aus;
}

// The file of a piece with one track of one 4/4 bar, division 96.
Bytes einTakt(const std::string& kopf, const std::string& spur, const std::string& takt) {
    return übersetzen("division 96\n" + kopf + "track \"A\"\n" + spur + "| " + takt + " |\n");
}

std::string fehlerVon(const std::string& text) {
    try {
        übersetzen(text);
    } catch (const Fehler& f) {
        return f.what();
    }
    return "(no error)";
}

// ---------------------------------------------------------------- bytes

TEST(Noten, KleinesStückByteFürByte) {
    const Bytes datei = übersetzen(
        "division 96\n"
        "track \"A\"\n"
        "program 1\n"
        "| c4 d4/2. |\n");
    const Bytes erwartet = {
        'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 96,
        // conductor: 4/4, 120 bpm, ends with the music after one bar (384 ticks)
        'M', 'T', 'r', 'k', 0, 0, 0, 20,
        0x00, 0xFF, 0x58, 0x04, 4, 2, 24, 8,
        0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,
        0x83, 0x00, 0xFF, 0x2F, 0x00,
        // track: name, program 1 (sent as 0), c4 for 90 % of a quarter (86
        // ticks), d4 a dotted half later for 259 ticks, end after 29 more
        'M', 'T', 'r', 'k', 0, 0, 0, 26,
        0x00, 0xFF, 0x03, 0x01, 'A',
        0x00, 0xC0, 0x00,
        0x00, 0x90, 60, 80,
        86, 60, 0,
        10, 62, 80,
        0x82, 0x03, 62, 0,
        29, 0xFF, 0x2F, 0x00};
    EXPECT_EQ(datei, erwartet);
}

TEST(Noten, KopfZähltDieSpurenUndTrägtDieTeilung) {
    const Bytes datei = übersetzen(
        "division 240\n"
        "track \"A\"\n| r/1 |\n"
        "track \"B\"\n| r/1 |\n"
        "track \"C\"\n| r/1 |\n");
    ASSERT_GE(datei.size(), 14u);
    EXPECT_EQ(Bytes(datei.begin(), datei.begin() + 14), (Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 4, 0, 240}));
    const auto c = chunks(datei);
    EXPECT_EQ(c.size(), 5u); // header, conductor, three tracks
    // Every track lasts as long as the longest, so the file is as long as the music.
    for (size_t i = 1; i < c.size(); ++i) EXPECT_EQ(ereignisse(c[i]).back().tick, 960u) << "chunk " << i;
}

TEST(Noten, TitelTaktartTonartTempoUndMarkenImDirigenten) {
    const Bytes datei = übersetzen(
        "title \"Probe\"\n"
        "division 96\n"
        "time 3/4\n"
        "time 6/8 @ 3\n"
        "key Bb\n"
        "key F#m @ 2\n"
        "tempo 100\n"
        "tempo 150 @ 2:2\n"
        "marker \"B\" @ 3\n"
        "track \"A\"\n"
        "| r/2. | r/2. | r/4. r/4. |\n");
    const auto c = chunks(datei);
    const std::vector<Ereignis> e = ereignisse(c.at(1));
    auto finde = [&](unsigned char typ, std::uint32_t tick) -> Bytes {
        for (const Ereignis& x : e)
            if (x.bytes[0] == 0xFF && x.bytes[1] == typ && x.tick == tick) return Bytes(x.bytes.begin() + 2, x.bytes.end());
        return {};
    };
    EXPECT_EQ(finde(0x03, 0), (Bytes{'P', 'r', 'o', 'b', 'e'}));
    EXPECT_EQ(finde(0x58, 0), (Bytes{3, 2, 24, 8}));
    EXPECT_EQ(finde(0x58, 576), (Bytes{6, 3, 24, 8}));  // two 3/4 bars of 288 ticks
    EXPECT_EQ(finde(0x59, 0), (Bytes{0xFE, 0}));         // two flats, major
    EXPECT_EQ(finde(0x59, 288), (Bytes{3, 1}));          // three sharps, minor
    EXPECT_EQ(finde(0x51, 0), (Bytes{0x09, 0x27, 0xC0})); // 600000 µs a quarter
    EXPECT_EQ(finde(0x51, 384), (Bytes{0x06, 0x1A, 0x80})); // 400000 µs, bar 2 beat 2
    EXPECT_EQ(finde(0x06, 576), (Bytes{'B'}));
    EXPECT_EQ(e.back().tick, 864u); // 288 + 288 + a 6/8 bar of 288
}

// ---------------------------------------------------------------- notes

TEST(Noten, TonhöhenVorzeichenOktavenUndNotennummern) {
    const auto n = noten(chunks(einTakt("", "", "c4/8 c#4 db4 b3 bb3 c-1 g9 n61"))[2]);
    std::vector<int> töne;
    for (const Note& x : n) töne.push_back(x.ton);
    EXPECT_EQ(töne, (std::vector<int>{60, 61, 61, 59, 58, 0, 127, 61}));
}

TEST(Noten, DauernPunkteTriolenUndSummen) {
    // Sticky lengths: a note without a value keeps the one before it.
    const auto n = noten(chunks(einTakt("", "gate 100\n", "c4/8. d4/16 e4/8t f4 g4 a4/4+8 b4/8"))[2]);
    ASSERT_EQ(n.size(), 7u);
    const std::vector<std::uint32_t> an = {0, 72, 96, 128, 160, 192, 336};
    const std::vector<std::uint32_t> aus = {72, 96, 128, 160, 192, 336, 384};
    for (size_t i = 0; i < n.size(); ++i) {
        EXPECT_EQ(n[i].an, an[i]) << i;
        EXPECT_EQ(n[i].aus, aus[i]) << i;
    }
}

TEST(Noten, ArtikulationBindungUndAkzente) {
    const auto n = noten(chunks(einTakt("", "", "c4/8' d4_ e4/4~ e4/8 f4! g4? a4/8@100"))[2]);
    ASSERT_EQ(n.size(), 6u);
    EXPECT_EQ(n[0], (Note{0, 24, 0, 60, 80}));      // staccato: half its length
    EXPECT_EQ(n[1], (Note{48, 96, 0, 62, 80}));     // tenuto: all of it
    EXPECT_EQ(n[2], (Note{96, 192 + 43, 0, 64, 80})); // tied into the eighth after it: one note
    EXPECT_EQ(n[3], (Note{240, 240 + 43, 0, 65, 96})); // accent +16
    EXPECT_EQ(n[4], (Note{288, 288 + 43, 0, 67, 60})); // ghost -20
    EXPECT_EQ(n[5], (Note{336, 336 + 43, 0, 69, 100}));
}

TEST(Noten, AkkordeKlingenZusammen) {
    const auto n = noten(chunks(einTakt("", "gate 50\n", "[c4 e4 g4]/2 r/2"))[2]);
    ASSERT_EQ(n.size(), 3u);
    for (const Note& x : n) {
        EXPECT_EQ(x.an, 0u);
        EXPECT_EQ(x.aus, 96u);
    }
}

TEST(Noten, DynamikUndCrescendo) {
    const Bytes datei = übersetzen(
        "division 96\ntrack \"A\"\n"
        "| p < c4 d4 e4 g4 | f c4/1 |\n");
    std::vector<int> v;
    for (const Note& x : noten(chunks(datei)[2])) v.push_back(x.stärke);
    // From p (49) towards f (96) over the bar: 49 + 47 * k/4.
    EXPECT_EQ(v, (std::vector<int>{49, 61, 73, 84, 96}));
}

TEST(Noten, SchlagzeugAufKanalZehn) {
    const auto c = chunks(einTakt("", "channel 10\ntranspose 5\n", "kick/8 hat snare hat [kick crash]/4 n44/4"));
    const std::vector<Note> n = noten(c[2]);
    ASSERT_EQ(n.size(), 7u);
    const std::vector<int> töne = {36, 42, 38, 42, 36, 49, 44};
    for (size_t i = 0; i < n.size(); ++i) {
        EXPECT_EQ(n[i].kanal, 9) << i;   // status 0x99
        EXPECT_EQ(n[i].ton, töne[i]) << i; // drums are never transposed
    }
}

TEST(Noten, RasterSpieltSchritteMitAkzenten) {
    const Bytes datei = übersetzen(
        "division 96\n"
        "grid g /8\n"
        "kick  x...x...\n"
        "snare ..X...o.\n"
        "end\n"
        "track \"D\"\nchannel 10\n| *g |\n");
    const std::vector<Note> n = noten(chunks(datei)[2]);
    ASSERT_EQ(n.size(), 4u);
    EXPECT_EQ(n[0], (Note{0, 43, 9, 36, 80}));
    EXPECT_EQ(n[1], (Note{96, 139, 9, 38, 104}));
    EXPECT_EQ(n[2], (Note{192, 235, 9, 36, 80}));
    EXPECT_EQ(n[3], (Note{288, 331, 9, 38, 48}));
}

TEST(Noten, TransponierenBewegtTöneUndRiffsAberKeineTrommeln) {
    const std::string kopf = "division 96\ngrid riff /8\nc3 x.x.\ne3 .x.x\nend\n";
    std::vector<int> töne;
    for (const Note& x : noten(chunks(übersetzen(kopf + "track \"B\"\ntranspose 2\n| *riff+12 c4/2 |\n"))[2])) töne.push_back(x.ton);
    EXPECT_EQ(töne, (std::vector<int>{62, 66, 62, 66, 62}));
    töne.clear();
    for (const Note& x : noten(chunks(übersetzen(kopf + "track \"D\"\nchannel 10\ntranspose 2\n| *riff+12 c4/2 |\n"))[2])) töne.push_back(x.ton);
    EXPECT_EQ(töne, (std::vector<int>{48, 52, 48, 52, 60}));
}

TEST(Noten, ProgrammUndReglerAmAnfangUndImTakt) {
    const auto e = ereignisse(chunks(einTakt("", "channel 3\nprogram 34\nvolume 100\npan 20\n",
                                             "c4/2 program=41 vol=90 cc74=12 d4/2"))[2]);
    std::vector<std::pair<std::uint32_t, Bytes>> steuer;
    for (const Ereignis& x : e)
        if ((x.bytes[0] & 0xF0) == 0xC0 || (x.bytes[0] & 0xF0) == 0xB0) steuer.emplace_back(x.tick, x.bytes);
    const std::vector<std::pair<std::uint32_t, Bytes>> erwartet = {
        {0, {0xC2, 33}}, {0, {0xB2, 7, 100}}, {0, {0xB2, 10, 20}},
        {192, {0xC2, 40}}, {192, {0xB2, 7, 90}}, {192, {0xB2, 74, 12}}};
    EXPECT_EQ(steuer, erwartet);
    // The program change comes before the note it is meant for.
    size_t programm = 0, note = 0;
    for (size_t i = 0; i < e.size(); ++i) {
        if (e[i].bytes == Bytes{0xC2, 40}) programm = i;
        if (e[i].bytes == Bytes{0x92, 62, 80}) note = i;
    }
    EXPECT_LT(programm, note);
}

TEST(Noten, SwingVerschiebtDieZweitenAchtel) {
    const auto n = noten(chunks(einTakt("swing 66\n", "", "c4/8 d4 e4/4 f4/2"))[2]);
    ASSERT_EQ(n.size(), 4u);
    EXPECT_EQ(n[0].an, 0u);
    EXPECT_EQ(n[1].an, 63u); // 96 * 0.66, rounded
    EXPECT_EQ(n[2].an, 96u);
    EXPECT_EQ(n[3].an, 192u);
}

// ---------------------------------------------------------------- structure

TEST(Noten, WiederholungProzentUndPhrasen) {
    const Bytes a = übersetzen(
        "division 96\n"
        "phrase lauf = c4/8 d4 | e4 f4\n"
        "phrase zwei\n  g4/2 | a4/2\n  b4/1\nend\n"
        "track \"A\"\n"
        "repeat 2\n| *lauf *lauf+12 |\nend\n| % |\n| *zwei |\n");
    const Bytes b = übersetzen(
        "division 96\n"
        "track \"A\"\n"
        "| c4/8 d4 e4 f4 c5 d5 e5 f5 |\n| c4/8 d4 e4 f4 c5 d5 e5 f5 |\n| c4/8 d4 e4 f4 c5 d5 e5 f5 |\n"
        "| g4/2 a4 | b4/1 |\n");
    EXPECT_EQ(a, b);
}

TEST(Noten, PhraseBeginntMitViertelnUndLässtDieLängeDerSpur) {
    const auto n = noten(chunks(übersetzen("division 96\nphrase p = c4 d4\ntrack \"A\"\ngate 100\n| e4/8 *p f4 f4 r/8 |\n"))[2]);
    ASSERT_EQ(n.size(), 5u);
    EXPECT_EQ(n[1].aus - n[1].an, 96u); // a quarter inside the phrase
    EXPECT_EQ(n[3].aus - n[3].an, 48u); // the eighth again after it
}

TEST(Noten, WindowsZeilenendenUndBomÄndernNichts) {
    const std::string text = "division 96\n# comment\ntrack \"A\"\n| c4 f#4 r/2 # comment\n";
    std::string windows = "\xEF\xBB\xBF";
    for (char c : text) windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(Übersetzen(windows, "w.txt"), übersetzen(text));
}

// ---------------------------------------------------------------- mistakes

TEST(Noten, FehlerNennenDateiUndZeile) {
    EXPECT_EQ(fehlerVon("division 96\ntrack \"A\"\n| c4 d4 |\n"),
              "probe.txt:3: Takt 1 der Spur 'A' ist 1/2 zu kurz (192 Ticks, ein 4/4-Takt hat 384)");
    EXPECT_EQ(fehlerVon("division 96\ntrack \"A\"\n| r/1 |\n| c4/4 d4 e4 f4 g4 |\n"),
              "probe.txt:4: Takt 2 der Spur 'A' ist 1/4 zu lang (480 Ticks, ein 4/4-Takt hat 384)");
    EXPECT_EQ(fehlerVon("track \"A\"\n\n| c4 h4 r/2 |\n"),
              "probe.txt:3: 'h4' ist weder eine Note (wie c4, f#3, bb2) noch eine Pause noch ein bekanntes Wort");
    EXPECT_EQ(fehlerVon("track \"A\"\n| kick r/2. |\n"),
              "probe.txt:2: Schlagzeugklang 'kick' in der Spur 'A' auf Kanal 1 (Schlagzeug spielt auf Kanal 10)");
    EXPECT_EQ(fehlerVon("tempo 500\ntrack \"A\"\n| r/1 |\n"), "probe.txt:1: Tempo 500 liegt außerhalb von 10..400");
    EXPECT_EQ(fehlerVon("track \"A\"\n| r/1 |\nprogram 5\n"),
              "probe.txt:3: 'program' gehört vor den ersten Takt; im Takt schreibt man program=N");
    EXPECT_EQ(fehlerVon("track \"A\"\n| r/1 |\ngate 50\n| r/1 |\n"), "probe.txt:3: 'gate' gehört vor den ersten Takt");
    EXPECT_EQ(fehlerVon("track \"A\"\n| *nix |\n"), "probe.txt:2: unbekannte Phrase oder unbekanntes Raster 'nix'");
    EXPECT_EQ(fehlerVon("track \"A\"\n| a9 r/2. |\n"), "probe.txt:2: Note 'a9' fällt aus dem MIDI-Bereich 0..127");
}

TEST(Noten, OffeneBlöckeWerdenAnIhremAnfangGemeldet) {
    EXPECT_EQ(fehlerVon("track \"A\"\nrepeat 2\n| r/1 |\n\n"), "probe.txt:2: 'repeat' ist nicht mit 'end' geschlossen");
    EXPECT_EQ(fehlerVon("phrase p\n c4 d4\ntrack \"A\"\n| r/1 |\n"), "probe.txt:1: 'p' ist nicht mit 'end' geschlossen");
    EXPECT_EQ(fehlerVon("track \"A\"\n| p < c4/1 |\n| r/1 |\n"),
              "probe.txt:2: Crescendo oder Decrescendo ohne Dynamik, auf der es endet");
    EXPECT_EQ(fehlerVon("title \"x\"\n"), "probe.txt:1: das Stück hat keine Spur");
}

TEST(Noten, EinePhraseDarfGanzeTakteFüllenAberKeineHalben) {
    const std::string kopf = "division 96\nphrase zwei = c4/1 d4/1\nphrase anderthalb = c4/1 d4/2\n";
    EXPECT_NO_THROW(übersetzen(kopf + "track \"A\"\n| *zwei | e4/1 |\n"));
    EXPECT_EQ(fehlerVon(kopf + "track \"A\"\n| *anderthalb |\n"),
              "probe.txt:5: Takte 1 bis 2 der Spur 'A' sind 1/2 zu kurz (576 Ticks, 2 Takte haben 768)");
    // Plain notes never run over into the next bar.
    EXPECT_EQ(fehlerVon(kopf + "track \"A\"\n| c4/1 d4/1 |\n"),
              "probe.txt:5: Takt 1 der Spur 'A' ist 1/1 zu lang (768 Ticks, ein 4/4-Takt hat 384)");
}

TEST(Noten, KaputteEingabenWerfenNurFehler) {
    // Cut-off and garbled pieces must end in a Fehler, never in a crash.
    const std::string gut =
        "title \"T\"\ndivision 96\ntempo 90\ngrid g /16\nkick x...\nend\nphrase p = c4/8 [e4 g4]/8\n"
        "track \"A\"\nprogram 3\n| *p r/4 c4/2~ | c4/4 [d4 f4]/4t' e4/8. r/16 r/4 |\ntrack \"D\"\nchannel 10\n| *g *g *g *g r/2 | % |\n";
    for (size_t n = 0; n <= gut.size(); ++n) {
        for (const std::string& t : {gut.substr(0, n), gut.substr(0, n) + "]/[\"@", gut.substr(n) + gut.substr(0, n)}) {
            try {
                übersetzen(t);
            } catch (const Fehler& f) {
                EXPECT_EQ(std::string(f.what()).rfind("probe.txt:", 0), 0u) << f.what();
            }
        }
    }
}

// ---------------------------------------------------------------- embedding

TEST(Noten, EinbettungTrägtJedesByteUndJedeNummer) {
    const std::string q = Einbettung({{101, {0, 1, 127, 128, 255}}, {106, {77}}});
    EXPECT_NE(q.find("#include \"musik/Musikressourcen.h\""), std::string::npos);
    EXPECT_NE(q.find("std::span<const unsigned char> Musikressource(int id)"), std::string::npos);
    EXPECT_NE(q.find("= {\n    0, 1, 127, 128, 255,\n};"), std::string::npos) << q;
    EXPECT_NE(q.find("= {\n    77,\n};"), std::string::npos) << q;
    EXPECT_NE(q.find("case 101: return {stück101, sizeof stück101};"), std::string::npos);
    EXPECT_NE(q.find("case 106: return {stück106, sizeof stück106};"), std::string::npos);
    EXPECT_NE(q.find("default: return {};"), std::string::npos);
}

// ---------------------------------------------------------------- the tool

class Werkzeug : public ::testing::Test {
protected:
    void SetUp() override {
        ordner_ = std::filesystem::temp_directory_path() /
                  ("quambel-noten-" + std::to_string(::testing::UnitTest::GetInstance()->current_test_info()->line()));
        std::filesystem::remove_all(ordner_);
        std::filesystem::create_directories(ordner_);
    }
    void TearDown() override { std::filesystem::remove_all(ordner_); }

    std::string pfad(const std::string& name) const { return (ordner_ / name).string(); }
    void schreiben(const std::string& name, const std::string& text) const {
        std::ofstream(pfad(name), std::ios::binary) << text;
    }
    std::string lesen(const std::string& name) const {
        std::ifstream ein(pfad(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(ein)), std::istreambuf_iterator<char>());
    }
    // Runs the tool with the given arguments; true when it succeeded.
    bool aufrufen(const std::string& argumente) const {
        std::string befehl = "\"" QUAMBEL_NOTEN_PROGRAMM "\" " + argumente + " 2> \"" + pfad("fehler.txt") + "\"";
#ifdef _WIN32
        befehl = "\"" + befehl + "\""; // cmd.exe takes the outer quotes off a line that starts with one
#endif
        return std::system(befehl.c_str()) == 0;
    }

    std::filesystem::path ordner_;
};

TEST_F(Werkzeug, ÜbersetztEinStückInEineDatei) {
    const std::string text = "division 96\ntrack \"A\"\n| c4 d4 e4 f4 |\n";
    schreiben("a.txt", text);
    ASSERT_TRUE(aufrufen("\"" + pfad("a.txt") + "\" -o \"" + pfad("a.mid") + "\""));
    const Bytes erwartet = übersetzen(text);
    EXPECT_EQ(lesen("a.mid"), std::string(erwartet.begin(), erwartet.end()));
}

TEST_F(Werkzeug, FehlerMitZeileUndKeineHalbeDatei) {
    schreiben("alt.mid", "old");
    schreiben("b.txt", "division 96\ntrack \"A\"\n| c4 d4 |\n");
    EXPECT_FALSE(aufrufen("\"" + pfad("b.txt") + "\" -o \"" + pfad("alt.mid") + "\""));
    EXPECT_EQ(lesen("fehler.txt").rfind(pfad("b.txt") + ":3: Takt 1 der Spur 'A' ist 1/2 zu kurz", 0), 0u) << lesen("fehler.txt");
    // The file from the last good run stays as it was, and nothing half-written lies about.
    EXPECT_EQ(lesen("alt.mid"), "old");
    EXPECT_FALSE(std::filesystem::exists(pfad("alt.mid.neu")));
}

TEST_F(Werkzeug, EinbettenBrauchtLesbareDateien) {
    EXPECT_FALSE(aufrufen("--embed \"" + pfad("x.cpp") + "\" 101=\"" + pfad("fehlt.mid") + "\""));
    EXPECT_FALSE(std::filesystem::exists(pfad("x.cpp")));
    schreiben("c.mid", std::string("MThd\x00\x01", 6));
    ASSERT_TRUE(aufrufen("--embed \"" + pfad("x.cpp") + "\" 101=\"" + pfad("c.mid") + "\""));
    EXPECT_EQ(lesen("x.cpp"), Einbettung({{101, {'M', 'T', 'h', 'd', 0, 1}}}));
    // One number twice would give the program two pieces of the same name.
    EXPECT_FALSE(aufrufen("--embed \"" + pfad("y.cpp") + "\" 101=\"" + pfad("c.mid") + "\" 101=\"" + pfad("c.mid") + "\""));
    EXPECT_NE(lesen("fehler.txt").find("101"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(pfad("y.cpp")));
}

} // namespace
} // namespace qmb::noten
