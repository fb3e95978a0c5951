#pragma once
// Writing: events become the bytes of a Standard MIDI File.
#include <cstdint>
#include <string>
#include <vector>

namespace qmb::noten {

using Tick = std::uint32_t;

struct Ereignis {
    Tick tick = 0;
    int rang = 0; // at the same tick: note-offs, then controllers, then note-ons
    std::vector<unsigned char> bytes;
    bool meta = false;
};

void zahlSchreiben(std::vector<unsigned char>& aus, std::uint32_t wert);
void wortSchreiben(std::vector<unsigned char>& aus, std::uint32_t wert, int bytes);
Ereignis metaText(Tick t, unsigned char typ, const std::string& text);
// A format 1 file: the conductor track first, then the tracks, all ending at `ende`.
std::vector<unsigned char> smfDatei(int teilung, std::vector<std::vector<Ereignis>> spuren, Tick ende);

} // namespace qmb::noten
