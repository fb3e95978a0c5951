// Fuzzing the high-score file reader and the window's text builder.
//
// Any bytes as a file: cutting into lines, inserting and the window text must
// stay within their bounds and never crash. The same bytes read as a list of
// scores and names typed by players: writing it and reading it back must
// give the very same list.
//
//   cmake --preset fuzz && cmake --build build/fuzz --target fuzz_highscore
//   build/fuzz/fuzz/highscore/fuzz_highscore -max_total_time=60 -max_len=70000
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "highscore/Listenformat.h"
#include "highscore/frmHighScoreModell.h"

namespace {

void prüfe(bool bedingung) {
    if (!bedingung) std::abort();
}

void alsDatei(std::string_view bytes, bool abgeschnitten) {
    const auto zeilen = qmb::ZeilenZerlegen(bytes, abgeschnitten);
    prüfe(zeilen.size() <= qmb::ZEILEN_HÖCHSTENS);
    size_t länge = 0;
    for (const auto& z : zeilen) länge += z.size();
    prüfe(länge <= bytes.size());

    const std::string text = qmb::HighscoreText(zeilen);
    size_t lange = 0;
    for (const auto& z : zeilen) lange += z.size() > 3;
    size_t umbrüche = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) umbrüche += text[i] == '\r' && text[i + 1] == '\n';
    prüfe(umbrüche + 1 == std::max<size_t>(lange, 10)); // every line one line on the screen
    prüfe(text.size() >= 2 && text.substr(text.size() - 2) != "\r\n");

    const auto neu = qmb::Einfügen(zeilen, qmb::Eintragstext(50, "Fuzz"), 50);
    prüfe(neu.klartexte.size() <= 10 && neu.platz >= 0 && neu.platz <= 10);
    for (const auto& z : neu.klartexte) prüfe(qmb::istEintrag(z));
}

void alsListe(std::string_view bytes) {
    static const std::string_view zeichen =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .-_'!\xE4\xF6\xFC\xC4\xD6\xDC\xDF\xE9";
    std::vector<std::string> liste;
    std::string name;
    int16_t punkte = static_cast<int16_t>(bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % 101);
    for (size_t i = 1; i < bytes.size() && liste.size() < 10; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == 0xFF) { // next entry
            liste.push_back(qmb::Eintragstext(punkte, name));
            name.clear();
            punkte = static_cast<int16_t>(i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[++i]) % 101 : 0);
        } else {
            name += zeichen[b % zeichen.size()];
        }
    }
    if (liste.size() < 10) liste.push_back(qmb::Eintragstext(punkte, name));
    prüfe(qmb::ZeilenZerlegen(qmb::ListeSchreiben(liste)) == liste);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, size_t größe) {
    const std::string_view bytes(reinterpret_cast<const char*>(daten), größe);
    alsDatei(bytes, false);
    alsDatei(bytes, true);
    alsListe(bytes);
    return 0;
}
