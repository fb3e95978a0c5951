#pragma once
// A fresh folder per test and the list built from plain texts without the
// code under test, so that the expected bytes do not come from the writer.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Attrappen.h"
#include "highscore/modQuambel.h"

namespace qmb::test {

inline std::string krypt(const std::string& klar) {
    static const std::string k = "KQXhdlmzpq604152\xE9\xA7+\xA4\xBAk";
    std::string s = klar;
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] != k[i % 22]) s[i] = static_cast<char>(s[i] ^ k[i % 22]);
    return s;
}
inline std::string datei(const std::vector<std::string>& klartexte) {
    std::string s;
    for (const auto& z : klartexte) s += krypt(z) + "\r\n";
    return s;
}

// A fresh folder, removed again with everything in it.
struct Tempordner {
    std::string pfad;
    Tempordner() {
        std::string vorlage = ::testing::TempDir() + "quambel-hs-XXXXXX";
        pfad = ::mkdtemp(vorlage.data());
    }
    ~Tempordner() { std::filesystem::remove_all(pfad); }
    std::string lies(const std::string& name = "Highscores.qmb") const {
        std::ifstream f(pfad + "/" + name, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        return s.str();
    }
    void schreib(const std::string& bytes, const std::string& name = "Highscores.qmb") const {
        std::ofstream(pfad + "/" + name, std::ios::binary) << bytes;
    }
};

// The list beside a program in a fresh folder.
struct Ordner : ::testing::Test, Tempordner {
    TestProgramm programm;
    SkriptFenster fenster;
    std::unique_ptr<modQuambel> liste;

    void SetUp() override {
        programm.appPfad = pfad;
        programm.benutzerOrdner = pfad + "/nutzer/Quambel";
        starten();
    }
    void starten() {
        liste = std::make_unique<modQuambel>(programm, fenster);
        liste->HighscoreDateiSetzen();
    }
};

} // namespace qmb::test
