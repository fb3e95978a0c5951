#pragma once
// Builds Standard MIDI Files byte by byte, so every test states exactly what
// the file holds.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include <unistd.h>

namespace qmb::test {

inline void varZahl(std::vector<std::uint8_t>& b, std::uint32_t wert) {
    std::uint8_t teile[5];
    int n = 0;
    do {
        teile[n++] = wert & 0x7F;
        wert >>= 7;
    } while (wert);
    while (n > 1) b.push_back(teile[--n] | 0x80);
    b.push_back(teile[0]);
}

struct Spur {
    std::vector<std::uint8_t> b;

    // Any bytes after a delta time.
    Spur& roh(std::uint32_t delta, std::initializer_list<std::uint8_t> bytes) {
        varZahl(b, delta);
        b.insert(b.end(), bytes);
        return *this;
    }
    Spur& an(std::uint32_t delta, int kanal, int note, int stärke = 100) {
        return roh(delta, {std::uint8_t(0x90 | kanal), std::uint8_t(note), std::uint8_t(stärke)});
    }
    Spur& aus(std::uint32_t delta, int kanal, int note) {
        return roh(delta, {std::uint8_t(0x80 | kanal), std::uint8_t(note), 0});
    }
    Spur& cc(std::uint32_t delta, int kanal, int nummer, int wert) {
        return roh(delta, {std::uint8_t(0xB0 | kanal), std::uint8_t(nummer), std::uint8_t(wert)});
    }
    Spur& programm(std::uint32_t delta, int kanal, int p) {
        return roh(delta, {std::uint8_t(0xC0 | kanal), std::uint8_t(p)});
    }
    Spur& biegung(std::uint32_t delta, int kanal, int wert) {
        return roh(delta, {std::uint8_t(0xE0 | kanal), std::uint8_t(wert & 0x7F), std::uint8_t(wert >> 7)});
    }
    Spur& tempo(std::uint32_t delta, std::uint32_t mikros) {
        return roh(delta, {0xFF, 0x51, 0x03, std::uint8_t(mikros >> 16), std::uint8_t(mikros >> 8), std::uint8_t(mikros)});
    }
    Spur& ende(std::uint32_t delta = 0) { return roh(delta, {0xFF, 0x2F, 0x00}); }
};

inline void be(std::vector<std::uint8_t>& b, std::uint32_t wert, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) b.push_back(std::uint8_t(wert >> (8 * i)));
}

inline std::vector<std::uint8_t> kopf(int format, int spuren, std::uint16_t teilung) {
    std::vector<std::uint8_t> b{'M', 'T', 'h', 'd'};
    be(b, 6, 4);
    be(b, format, 2);
    be(b, spuren, 2);
    be(b, teilung, 2);
    return b;
}

inline void anhängen(std::vector<std::uint8_t>& datei, const Spur& s, const char* art = "MTrk") {
    datei.insert(datei.end(), art, art + 4);
    be(datei, static_cast<std::uint32_t>(s.b.size()), 4);
    datei.insert(datei.end(), s.b.begin(), s.b.end());
}

inline std::vector<std::uint8_t> smf(int format, std::uint16_t teilung, const std::vector<Spur>& spuren) {
    auto datei = kopf(format, static_cast<int>(spuren.size()), teilung);
    for (const Spur& s : spuren) anhängen(datei, s);
    return datei;
}

// A folder of its own below the system's temporary folder, removed at the end.
class Ordner {
public:
    explicit Ordner(const std::string& name) {
        // Tests run as parallel processes: the process number keeps folders apart.
        static int zähler = 0;
        pfad_ = std::filesystem::temp_directory_path() /
                (name + "-" + std::to_string(::getpid()) + "-" + std::to_string(++zähler));
        std::filesystem::create_directories(pfad_);
    }
    ~Ordner() {
        std::error_code f;
        std::filesystem::remove_all(pfad_, f);
    }
    std::string schreiben(const std::string& name, const std::vector<std::uint8_t>& daten) const {
        const auto p = pfad_ / name;
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(daten.data()),
                                                 static_cast<std::streamsize>(daten.size()));
        return p.string();
    }
    const std::filesystem::path& pfad() const { return pfad_; }

private:
    std::filesystem::path pfad_;
};

} // namespace qmb::test
