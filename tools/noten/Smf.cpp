#include "Smf.h"

#include <algorithm>
#include <cstddef>

namespace qmb::noten {

void zahlSchreiben(std::vector<unsigned char>& aus, std::uint32_t wert) {
    unsigned char puffer[5];
    int n = 0;
    puffer[n++] = wert & 0x7F;
    while ((wert >>= 7) != 0) puffer[n++] = static_cast<unsigned char>(0x80 | (wert & 0x7F));
    while (n > 0) aus.push_back(puffer[--n]);
}

void wortSchreiben(std::vector<unsigned char>& aus, std::uint32_t wert, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) aus.push_back(static_cast<unsigned char>((wert >> (8 * i)) & 0xFF));
}

Ereignis metaText(Tick t, unsigned char typ, const std::string& text) {
    Ereignis e{t, 1, {0xFF, typ}, true};
    zahlSchreiben(e.bytes, static_cast<std::uint32_t>(text.size()));
    e.bytes.insert(e.bytes.end(), text.begin(), text.end());
    return e;
}

namespace {

// A track chunk with running status: a channel message repeats no status byte
// it shares with the message before; meta events break the run.
std::vector<unsigned char> spurChunk(std::vector<Ereignis> ereignisse, Tick ende) {
    std::stable_sort(ereignisse.begin(), ereignisse.end(), [](const Ereignis& a, const Ereignis& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.rang < b.rang;
    });
    std::vector<unsigned char> daten;
    Tick jetzt = 0;
    int laufstatus = -1;
    for (const Ereignis& e : ereignisse) {
        zahlSchreiben(daten, e.tick - jetzt);
        jetzt = e.tick;
        if (e.meta) {
            laufstatus = -1;
            daten.insert(daten.end(), e.bytes.begin(), e.bytes.end());
        } else {
            size_t ab = 0;
            if (e.bytes[0] == laufstatus) ab = 1;
            laufstatus = e.bytes[0];
            daten.insert(daten.end(), e.bytes.begin() + static_cast<std::ptrdiff_t>(ab), e.bytes.end());
        }
    }
    zahlSchreiben(daten, std::max(ende, jetzt) - jetzt);
    daten.insert(daten.end(), {0xFF, 0x2F, 0x00});
    std::vector<unsigned char> chunk = {'M', 'T', 'r', 'k'};
    wortSchreiben(chunk, static_cast<std::uint32_t>(daten.size()), 4);
    chunk.insert(chunk.end(), daten.begin(), daten.end());
    return chunk;
}

} // namespace

std::vector<unsigned char> smfDatei(int teilung, std::vector<std::vector<Ereignis>> spuren, Tick ende) {
    std::vector<unsigned char> datei = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    wortSchreiben(datei, static_cast<std::uint32_t>(spuren.size()), 2);
    wortSchreiben(datei, static_cast<std::uint32_t>(teilung), 2);
    for (std::vector<Ereignis>& s : spuren) {
        const std::vector<unsigned char> chunk = spurChunk(std::move(s), ende);
        datei.insert(datei.end(), chunk.begin(), chunk.end());
    }
    return datei;
}

} // namespace qmb::noten
