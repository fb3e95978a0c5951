// quambel_noten: compiles our notes text into Standard MIDI Files, and writes
// the C++ source that carries the finished files inside the game.
//
//   quambel_noten PIECE.txt -o PIECE.mid
//   quambel_noten --embed OUT.cpp ID=FILE.mid [ID=FILE.mid ...]

#include "Noten.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool lesen(const std::string& pfad, std::string& inhalt) {
    std::ifstream ein(pfad, std::ios::binary);
    if (!ein) return false;
    std::ostringstream puffer;
    puffer << ein.rdbuf();
    inhalt = puffer.str();
    return static_cast<bool>(ein) || ein.eof();
}

// Written to a side file first and renamed, so that a failed run never
// leaves a half-written output that the build would take for finished.
bool schreiben(const std::string& pfad, const std::string& inhalt) {
    const std::string neu = pfad + ".neu";
    {
        std::ofstream aus(neu, std::ios::binary | std::ios::trunc);
        if (!aus) return false;
        aus.write(inhalt.data(), static_cast<std::streamsize>(inhalt.size()));
        if (!aus) return false;
    }
    std::remove(pfad.c_str());
    return std::rename(neu.c_str(), pfad.c_str()) == 0;
}

int verwendung() {
    std::cerr << "Aufruf: quambel_noten STÜCK.txt -o STÜCK.mid\n"
                 "        quambel_noten --embed AUS.cpp NUMMER=DATEI.mid [NUMMER=DATEI.mid ...]\n";
    return 2;
}

int einbetten(int argc, char** argv) {
    std::vector<std::pair<int, std::vector<unsigned char>>> stücke;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        const size_t gleich = arg.find('=');
        if (gleich == std::string::npos || gleich == 0) return verwendung();
        int id = 0;
        try {
            id = std::stoi(arg.substr(0, gleich));
        } catch (const std::exception&) {
            return verwendung();
        }
        // Two pieces under one number would not even compile.
        for (const auto& [schon, _] : stücke)
            if (schon == id) {
                std::cerr << "Nummer " << id << " kommt zweimal vor\n";
                return 1;
            }
        std::string inhalt;
        if (!lesen(arg.substr(gleich + 1), inhalt) || inhalt.empty()) {
            std::cerr << arg.substr(gleich + 1) << ": Datei nicht lesbar oder leer\n";
            return 1;
        }
        stücke.emplace_back(id, std::vector<unsigned char>(inhalt.begin(), inhalt.end()));
    }
    if (!schreiben(argv[2], qmb::noten::Einbettung(stücke))) {
        std::cerr << argv[2] << ": lässt sich nicht schreiben\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--embed") return einbetten(argc, argv);
    if (argc != 4 || std::string(argv[2]) != "-o") return verwendung();
    std::string quelle;
    if (!lesen(argv[1], quelle)) {
        std::cerr << argv[1] << ": Datei nicht lesbar\n";
        return 1;
    }
    try {
        const std::vector<unsigned char> midi = qmb::noten::Übersetzen(quelle, argv[1]);
        if (!schreiben(argv[3], std::string(midi.begin(), midi.end()))) {
            std::cerr << argv[3] << ": lässt sich nicht schreiben\n";
            return 1;
        }
    } catch (const qmb::noten::Fehler& f) {
        std::cerr << f.what() << "\n";
        return 1;
    }
    return 0;
}
