#pragma once
// Our own reader for Standard MIDI Files (format 0 and 1). It turns the
// tracks into one list of timed events, sorted by time, with the tick and the
// millisecond of every event already worked out from the tempo map, so that
// the sequencer never needs to think in ticks. Files come from disk and may
// be damaged or hostile: every length is checked against the bytes that are
// really there, and the amount of work and memory is capped.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qmb {

enum class MidiFehler {
    Keiner,
    DateiUnlesbar,     // cannot be opened or read
    DateiZuGroß,       // more than MaxMidiDateigröße bytes
    KeinKopf,          // does not start with an "MThd" chunk
    KopfZuKurz,        // header chunk shorter than 6 bytes
    FormatUnbekannt,   // format 2 or higher
    KeineSpuren,       // header announces no track
    ZuVieleSpuren,     // more than MaxMidiSpuren tracks announced
    TeilungNull,       // zero ticks per quarter note or per frame
    SmpteUngültig,     // SMPTE division with an unknown frame rate
    Abgeschnitten,     // a chunk or an event runs past the end of its data
    ZahlZuLang,        // variable-length number of more than four bytes
    OhneLaufstatus,    // data byte with no status byte before it
    UngültigesByte,    // status byte where a data byte belongs, or a system byte
    ZuVieleEreignisse, // more than MaxMidiEreignisse events (tempo changes count too)
    ZuLang,            // a track runs past 2^32 ticks
};

// A short English description for log lines and test messages.
const char* fehlertext(MidiFehler f);

inline constexpr std::size_t MaxMidiDateigröße = 16u * 1024u * 1024u;
inline constexpr std::size_t MaxMidiEreignisse = 2'000'000;
inline constexpr int MaxMidiSpuren = 1024;

// One event to be sent: a channel message, or a system-exclusive message
// whose bytes are kept in MidiStück::sysexdaten.
struct MidiEreignis {
    double ms = 0;           // time from the start of the piece
    std::uint32_t tick = 0;  // time in ticks
    std::uint32_t sysex = 0; // for F0/F7: index into MidiStück::sysex
    std::uint8_t status = 0; // 0x80..0xEF (type and channel), or 0xF0 / 0xF7
    std::uint8_t daten1 = 0;
    std::uint8_t daten2 = 0;
    std::uint16_t spur = 0; // track the event came from
};

// The tempo from `tick` (at `ms`) until the next point.
struct Tempopunkt {
    std::uint32_t tick = 0;
    double ms = 0;
    std::uint32_t mikrosProViertel = 500000;
};

struct Sysexblock {
    std::uint32_t anfang = 0;
    std::uint32_t länge = 0;
};

struct MidiStück {
    int format = 0;
    int spuren = 0;
    std::uint16_t teilung = 0; // the raw division word of the header
    std::vector<MidiEreignis> ereignisse;
    std::vector<Tempopunkt> tempokarte; // never empty, starts at tick 0
    std::vector<std::uint8_t> sysexdaten;
    std::vector<Sysexblock> sysex;
    std::uint32_t längeTicks = 0; // end of the longest track
    double längeMs = 0;

    // Milliseconds at a tick, from the tempo map (or the SMPTE rate).
    double msBeiTick(std::uint64_t tick) const;
    // The tempo in force at a time, in microseconds per quarter note.
    std::uint32_t tempoBeiMs(double ms) const;
    bool smpte() const { return (teilung & 0x8000u) != 0; }
};

// Reads a whole file image. On failure `aus` is left empty.
MidiFehler leseMidi(std::span<const std::uint8_t> daten, MidiStück& aus);
// Reads a file from disk (any name, any extension).
MidiFehler leseMidiDatei(const std::string& pfad, MidiStück& aus);

} // namespace qmb
