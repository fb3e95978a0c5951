#pragma once
// A piece sounds the same every time it plays from its start, so it is
// rendered once, on a synth of its own at the lowest priority, and kept in a
// file in the user's cache folder; playing it again costs no synthesis, only
// a read of 64 ms of samples now and then. The file's name is a key over the
// piece's events, the SoundFont (path, size, time) and the synth's settings:
// change any of them and the old file is simply not found again.
//
// Besides the samples the file holds, for every block, which notes sound at
// its end: a piece resumed in the middle plays live until the notes begun
// before that point have died away, and only then from the recording (see
// Aufnahme::übergabe), so that nothing but their reverb can differ.
#include <cstdint>
#include <deque>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/Dateisystem.h"
#include "sound/player/FluidKlang.h"
#include "sound/player/MidiDatei.h"

namespace qmb {

class Aufnahme {
public:
    // Null when the file is missing, was cut short, or belongs to another key.
    static std::shared_ptr<Aufnahme> öffnen(const std::string& pfad, std::uint64_t schlüssel);

    // Everything the synth gave from the first note until the block after its
    // last voice ended.
    std::int64_t frames() const { return frames_; }
    // Copies frames from `ab` on into two buffers; silence past the end, and
    // where the file cannot be read (false then).
    bool lesen(std::int64_t ab, float* links, float* rechts, int frames);
    // Playing live from frame `ab` (a block's start), the first block's start
    // from which the recording holds no note begun before `ab`, so that it can
    // take over; -1 when that never happens before the end. `ausgelassen`:
    // the live play left out events of the half block before `ab` (see
    // Sequenzer::lässtAus), which the recording sent with the block at `ab`;
    // then the notes begun there count as older too.
    std::int64_t übergabe(std::int64_t ab, bool ausgelassen) const;
    // The start of the block in which the oldest note sounding at frame `bei`
    // (a block's start) began; `bei` when none sounds.
    std::int64_t ältesterAnfang(std::int64_t bei) const;

private:
    std::ifstream datei_;
    std::int64_t frames_ = 0;
    // Per block, the lowest number of a note sounding at its end (0: none),
    // and the highest number of any note begun so far (see FluidKlang::notenspanne).
    std::vector<std::uint32_t> älteste_, jüngste_;
    std::vector<float> puffer_; // read ahead, interleaved, from frame pufferAb_
    std::int64_t pufferAb_ = -1;
};

class Aufnahmen {
public:
    // `ordner` is made on the first recording; `dateien` outlives this object.
    Aufnahmen(std::string ordner, Dateisystem& dateien);
    // Stops a recording under way; its half-written file is removed.
    ~Aufnahmen();
    Aufnahmen(const Aufnahmen&) = delete;
    Aufnahmen& operator=(const Aufnahmen&) = delete;

    static std::uint64_t schlüssel(const MidiStück& stück, const std::string& schrift, const Klangeinstellungen& k);
    // The recording already made for this key, without touching the disk.
    std::shared_ptr<Aufnahme> bereit(std::uint64_t schlüssel);
    // The recording for this key, from memory or from its file.
    std::shared_ptr<Aufnahme> finden(std::uint64_t schlüssel);
    // Has the piece recorded on the thread of low priority, unless it is there
    // or on its way; the program plays it live meanwhile.
    void bestellen(std::shared_ptr<const MidiStück> stück, const std::string& schrift, const Klangeinstellungen& k);
    // Records it now, on this thread: 0, or what went wrong with the file.
    Fehlernummer aufnehmen(const MidiStück& stück, const std::string& schrift, const Klangeinstellungen& k);
    // At most this many recordings are kept; the oldest go first.
    static constexpr int Höchstens = 12;

private:
    struct Auftrag {
        std::shared_ptr<const MidiStück> stück;
        std::string schrift;
        Klangeinstellungen klang;
        std::uint64_t schlüssel;
    };
    std::string pfad(std::uint64_t schlüssel) const;
    void arbeiten();
    void aufräumen();

    const std::string ordner_;
    Dateisystem& dateien_;
    std::mutex m_;
    std::map<std::uint64_t, std::shared_ptr<Aufnahme>> bereit_;
    std::deque<Auftrag> aufträge_;
    std::set<std::uint64_t> bestellt_; // asked for this session: never twice
    bool arbeitet_ = false;
    bool ende_ = false;
    std::thread arbeiter_;
};

} // namespace qmb
