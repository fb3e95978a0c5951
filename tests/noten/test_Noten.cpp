#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "Noten.h"
#include "SmfBauer.h"
#include "sound/player/MidiDatei.h"

namespace qmb::noten {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes übersetzen(const std::string& text) { return Übersetzen(text, "probe.txt"); }

// The notes of one track as our player reads them, each "on-off:channel:pitch:velocity",
// then every other channel message as "tick:status,data".
std::string spur(const std::string& text) {
    MidiStück st;
    EXPECT_EQ(leseMidi(übersetzen(text), st), MidiFehler::Keiner);
    std::ostringstream noten, sonst;
    const auto& e = st.ereignisse;
    for (std::size_t i = 0; i < e.size(); ++i) {
        if (e[i].spur != 1) continue;
        const int art = e[i].status & 0xF0, k = e[i].status & 0x0F;
        if (art == 0x90 && e[i].daten2 > 0) {
            const auto aus = std::find_if(e.begin() + i + 1, e.end(), [&](const MidiEreignis& x) {
                return x.daten1 == e[i].daten1 && (x.status == (0x80 | k) || (x.status == e[i].status && x.daten2 == 0));
            });
            noten << e[i].tick << "-" << (aus != e.end() ? aus->tick : 0) << ":" << k + 1 << ":" << int(e[i].daten1) << ":" << int(e[i].daten2) << " ";
        } else if (art != 0x80 && art != 0x90) {
            sonst << e[i].tick << ":" << std::hex << int(e[i].status) << std::dec << "," << int(e[i].daten1) << (art == 0xC0 ? "" : "," + std::to_string(e[i].daten2)) << " ";
        }
    }
    return noten.str() + "| " + sonst.str();
}

std::string takt(const std::string& kopf, const std::string& spur, const std::string& t) {
    return "division 96\n" + kopf + "track \"A\"\n" + spur + "| " + t + " |\n";
}

TEST(Noten, KleinesStückByteFürByte) {
    EXPECT_EQ(übersetzen("division 96\ntrack \"A\"\nprogram 1\n| c4 d4/2. |\n"),
              (Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 96,
                     // conductor: 4/4, 120 bpm, ends with the music after one bar (384 ticks)
                     'M', 'T', 'r', 'k', 0, 0, 0, 20, 0x00, 0xFF, 0x58, 0x04, 4, 2, 24, 8, 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,
                     0x83, 0x00, 0xFF, 0x2F, 0x00,
                     // name, program 1 (sent as 0), c4 for 90 % of a quarter, d4 for 90 % of a dotted half; running status
                     'M', 'T', 'r', 'k', 0, 0, 0, 26, 0x00, 0xFF, 0x03, 0x01, 'A', 0x00, 0xC0, 0x00, 0x00, 0x90, 60, 80, 86, 60, 0,
                     10, 62, 80, 0x82, 0x03, 62, 0, 29, 0xFF, 0x2F, 0x00}));
}

TEST(Noten, JedeSchreibweiseAlsNoten) {
    const std::pair<std::string, std::string> fälle[] = {
        {takt("", "", "c4/8 c#4 db4 b3 bb3 c-1 g9 n61"),
         "0-43:1:60:80 48-91:1:61:80 96-139:1:61:80 144-187:1:59:80 192-235:1:58:80 240-283:1:0:80 288-331:1:127:80 336-379:1:61:80 | "},
        {takt("", "gate 100\n", "c4/8. d4/16 e4/8t f4 g4 a4/4+8 b4/8"),
         "0-72:1:60:80 72-96:1:62:80 96-128:1:64:80 128-160:1:65:80 160-192:1:67:80 192-336:1:69:80 336-384:1:71:80 | "},
        {takt("", "", "c4/8' d4_ e4/4~ e4/8 f4! g4? a4/8@100"),
         "0-24:1:60:80 48-96:1:62:80 96-235:1:64:80 240-283:1:65:96 288-331:1:67:60 336-379:1:69:100 | "},
        {takt("", "gate 50\n", "[c4 e4 g4]/2 r/2"), "0-96:1:60:80 0-96:1:64:80 0-96:1:67:80 | "},
        {"division 96\ntrack \"A\"\n| p < c4 d4 e4 g4 | f c4/1 |\n",
         "0-86:1:60:49 96-182:1:62:61 192-278:1:64:73 288-374:1:67:84 384-729:1:60:96 | "},
        {takt("", "channel 10\ntranspose 5\n", "kick/8 hat snare hat [kick crash]/4 n44/4"),
         "0-43:10:36:80 48-91:10:42:80 96-139:10:38:80 144-187:10:42:80 192-278:10:36:80 192-278:10:49:80 288-374:10:44:80 | "},
        {"division 96\ngrid g /8\nkick  x...x...\nsnare ..X...o.\nend\ntrack \"D\"\nchannel 10\ntranspose 3\n| *g |\n",
         "0-43:10:36:80 96-139:10:38:104 192-235:10:36:80 288-331:10:38:48 | "},
        {"division 96\ngrid riff /8\nc3 x.x.\ne3 .x.x\nend\ntrack \"B\"\ntranspose 2\n| *riff+12 c4/2 |\n",
         "0-43:1:62:80 48-91:1:66:80 96-139:1:62:80 144-187:1:66:80 192-364:1:62:80 | "},
        // the off-beat eighth starts at 96 × 0.66, and the time around it bends along
        {takt("swing 66\n", "", "c4/8 d4 e4/4 f4/2"), "0-56:1:60:80 63-93:1:62:80 96-185:1:64:80 192-370:1:65:80 | "},
        {takt("", "channel 3\nprogram 34\nvolume 100\npan 20\n", "c4/2 program=41 vol=90 cc74=12 d4/2"),
         "0-172:3:60:80 192-364:3:62:80 | 0:c2,33 0:b2,7,100 0:b2,10,20 192:c2,40 192:b2,7,90 192:b2,74,12 "},
        {"division 96\nphrase p = c4 d4\ntrack \"A\"\ngate 100\n| e4/8 *p f4 f4 r/8 |\n",
         "0-48:1:64:80 48-144:1:60:80 144-240:1:62:80 240-288:1:65:80 288-336:1:65:80 | "},
    };
    for (const auto& [text, soll] : fälle) EXPECT_EQ(spur(text), soll) << text;
}

TEST(Noten, DirigentUndKopf) {
    EXPECT_EQ(übersetzen("title \"Probe\"\ndivision 96\ntime 3/4\ntime 6/8 @ 3\nkey Bb\nkey F#m @ 2\ntempo 100\ntempo 150 @ 2:2\n"
                         "marker \"B\" @ 3\ntrack \"A\"\n| r/2. | r/2. | r/4. r/4. |\ntrack \"B\"\n| r/2. | r/2. | r/2. |\n"),
              (Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 3, 0, 96, 'M', 'T', 'r', 'k', 0, 0, 0, 63,
                     // the title; 3/4; B flat major (two flats); 600000 µs a quarter
                     0x00, 0xFF, 0x03, 5, 'P', 'r', 'o', 'b', 'e', 0x00, 0xFF, 0x58, 4, 3, 2, 24, 8, 0x00, 0xFF, 0x59, 2, 0xFE, 0,
                     0x00, 0xFF, 0x51, 3, 0x09, 0x27, 0xC0,
                     // bar 2 at 288: F sharp minor; beat 2 at 384: 400000 µs; bar 3 at 576: 6/8 and the marker; the end at 864
                     0x82, 0x20, 0xFF, 0x59, 2, 3, 1, 0x60, 0xFF, 0x51, 3, 0x06, 0x1A, 0x80, 0x81, 0x40, 0xFF, 0x58, 4, 6, 3, 24, 8,
                     0x00, 0xFF, 0x06, 1, 'B', 0x82, 0x20, 0xFF, 0x2F, 0,
                     'M', 'T', 'r', 'k', 0, 0, 0, 10, 0x00, 0xFF, 0x03, 1, 'A', 0x86, 0x60, 0xFF, 0x2F, 0,
                     'M', 'T', 'r', 'k', 0, 0, 0, 10, 0x00, 0xFF, 0x03, 1, 'B', 0x86, 0x60, 0xFF, 0x2F, 0}));
}

TEST(Noten, WiederholungenPhrasenUndZeilenendenÄndernNichts) {
    EXPECT_EQ(übersetzen("division 96\nphrase lauf = c4/8 d4 | e4 f4\nphrase zwei\n  g4/2 | a4/2\n  b4/1\nend\ntrack \"A\"\n"
                         "repeat 2\n| *lauf *lauf+12 |\nend\n| % |\n| *zwei |\n"),
              übersetzen("division 96\ntrack \"A\"\n| c4/8 d4 e4 f4 c5 d5 e5 f5 |\n| c4/8 d4 e4 f4 c5 d5 e5 f5 |\n"
                         "| c4/8 d4 e4 f4 c5 d5 e5 f5 |\n| g4/2 a4 | b4/1 |\n"));
    const std::string text = "division 96\n# comment\ntrack \"A\"\n| c4 f#4 r/2 # comment\n";
    std::string windows = "\xEF\xBB\xBF";
    for (char c : text) windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(Übersetzen(windows, "w.txt"), übersetzen(text));
}

TEST(Noten, FehlerNennenDateiUndZeile) {
    const std::string ph = "division 96\nphrase zwei = c4/1 d4/1\nphrase anderthalb = c4/1 d4/2\ntrack \"A\"\n";
    const std::pair<std::string, std::string> fälle[] = {
        {"division 96\ntrack \"A\"\n| r/1 |\n| c4/4 d4 e4 f4 g4 |\n", "4: Takt 2 der Spur 'A' ist 1/4 zu lang (480 Ticks, ein 4/4-Takt hat 384)"},
        {"track \"A\"\n\n| c4 h4 r/2 |\n", "3: 'h4' ist weder eine Note (wie c4, f#3, bb2) noch eine Pause noch ein bekanntes Wort"},
        {"track \"A\"\n| kick r/2. |\n", "2: Schlagzeugklang 'kick' in der Spur 'A' auf Kanal 1 (Schlagzeug spielt auf Kanal 10)"},
        {"tempo 500\ntrack \"A\"\n| r/1 |\n", "1: Tempo 500 liegt außerhalb von 10..400"},
        {"track \"A\"\n| r/1 |\nprogram 5\n", "3: 'program' gehört vor den ersten Takt; im Takt schreibt man program=N"},
        {"track \"A\"\n| *nix |\n", "2: unbekannte Phrase oder unbekanntes Raster 'nix'"},
        {"track \"A\"\nrepeat 2\n| r/1 |\n\n", "2: 'repeat' ist nicht mit 'end' geschlossen"},
        {"track \"A\"\n| p < c4/1 |\n| r/1 |\n", "2: Crescendo oder Decrescendo ohne Dynamik, auf der es endet"},
        {ph + "| *zwei | e4/1 |\n", "(none)"}, // a phrase may fill whole bars, never half ones; plain notes never run over
        {ph + "| *anderthalb |\n", "5: Takte 1 bis 2 der Spur 'A' sind 1/2 zu kurz (576 Ticks, 2 Takte haben 768)"},
        {ph + "| c4/1 d4/1 |\n", "5: Takt 1 der Spur 'A' ist 1/1 zu lang (768 Ticks, ein 4/4-Takt hat 384)"},
    };
    for (const auto& [text, soll] : fälle) {
        std::string ist = "(none)";
        try {
            übersetzen(text);
        } catch (const Fehler& f) {
            ist = f.what();
        }
        EXPECT_EQ(ist, soll == "(none)" ? soll : "probe.txt:" + soll);
    }
}

// The tool as the build runs it: a piece in, a file out; a failed run leaves
// the last good output alone. (What it embeds, the music tests compare with
// the compiled files.)
TEST(Noten, Werkzeug) {
    const test::Ordner ordner;
    const auto pfad = [&](const std::string& n) { return "\"" + (ordner.pfad / n).string() + "\""; };
    const auto lesen = [&](const std::string& n) {
        std::ifstream ein(ordner.pfad / n, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(ein), {});
    };
    const auto aufruf = [&](const std::string& a) {
        std::string befehl = "\"" QUAMBEL_NOTEN_PROGRAMM "\" " + a + " 2>" + pfad("f.txt");
#ifdef _WIN32
        befehl = "\"" + befehl + "\""; // cmd.exe takes the outer quotes off a line that starts with one
#endif
        return std::system(befehl.c_str()) == 0;
    };
    std::ofstream(ordner.pfad / "a.txt") << "division 96\ntrack \"A\"\n| c4 d4 e4 f4 |\n";
    std::ofstream(ordner.pfad / "b.txt") << "division 96\ntrack \"A\"\n| c4 d4 |\n";
    ASSERT_TRUE(aufruf(pfad("a.txt") + " -o " + pfad("a.mid")));
    const Bytes a = übersetzen("division 96\ntrack \"A\"\n| c4 d4 e4 f4 |\n");
    EXPECT_FALSE(aufruf(pfad("b.txt") + " -o " + pfad("a.mid")));
    EXPECT_EQ(lesen("f.txt").rfind((ordner.pfad / "b.txt").string() + ":3: Takt 1 der Spur 'A' ist 1/2 zu kurz", 0), 0u) << lesen("f.txt");
    EXPECT_EQ(lesen("a.mid"), std::string(a.begin(), a.end()));
    EXPECT_FALSE(std::filesystem::exists(ordner.pfad / "a.mid.neu"));
}

} // namespace
} // namespace qmb::noten
