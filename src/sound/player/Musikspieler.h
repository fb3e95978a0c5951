#pragma once
// The music player of the program behind the multimedia command strings:
//
//   open <datei> type MPEGVideo alias <a>
//   play <a> [from <ms>] [repeat]     stop <a>     close <a>
//   status <a> length | position
//
// Each open alias gets one of two sets of sixteen channels on the one synth,
// so the background piece and a jingle can sound at the same time. The
// SoundFont loads on a thread of its own; until it is there, and for good
// when there is no SoundFont or no sound device, the pieces run silently on
// the steady clock, so lengths, positions and the end of a piece behave all
// the same. All public functions may be called from any thread.
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Befehlsschnittstelle.h"
#include "sound/player/Aufnahmen.h"
#include "sound/player/FluidKlang.h"
#include "sound/player/Sequenzer.h"
#include "sound/player/Tonausgabe.h"

namespace qmb {

// Error numbers, those of the Windows multimedia interface for the same faults.
enum Mcifehler : unsigned {
    MciUnbekanntesWort = 259,   // a keyword the command does not know
    MciUnbekannterBefehl = 261, // not a command at all
    MciUnbekanntesGerät = 263,  // alias not open, or a device type we do not play
    MciKeinGerätFrei = 266,     // both channel sets are in use
    MciKeineZahl = 270,         // a time that is not a decimal number
    MciParameterFehlt = 273,    // a keyword without its value, or no alias
    MciDateiFehlt = 275,        // the file cannot be read
    MciAußerhalb = 282,         // a position past the end of the piece
    MciAliasBelegt = 289,       // the alias is open already
    MciAnführungOffen = 294,    // a quoted file name without its closing quote
    MciUngültigeDatei = 296,    // not a Standard MIDI File we can play
};

struct Spielereinstellungen {
    enum class Ausgabe {
        Gerät,   // the sound server or a sound card, else silent on the clock
        Offline, // no device, no clock: time passes only through vorrücken()
    };
    Ausgabe ausgabe = Ausgabe::Gerät;
    // SoundFonts to try in order; empty means FluidKlang::schriftKandidaten().
    std::vector<std::string> schriften;
    // Outputs to try in order: "tonserver" is the desktop's sound server,
    // any other a FluidSynth audio driver ("" is its default, ALSA).
    std::vector<std::string> treiber{"tonserver", "", "pulseaudio"};
    Klangeinstellungen klang;
    // The steady clock for running silently; std::chrono::steady_clock when empty.
    std::function<std::chrono::nanoseconds()> uhr;
    // The folder the pieces are recorded into (see Aufnahmen); empty: every
    // piece is synthesised live, every time.
    std::string aufnahmen;
};

class Befehlsspieler : public Befehlsschnittstelle {
public:
    explicit Befehlsspieler(Spielereinstellungen e = {});
    ~Befehlsspieler() override;
    Befehlsspieler(const Befehlsspieler&) = delete;
    Befehlsspieler& operator=(const Befehlsspieler&) = delete;

    unsigned mciSendString(const std::string& befehl, std::string& antwort) override;

    // Offline only: lets `ms` milliseconds pass (in whole blocks; what is left
    // over carries into the next call) and returns what was rendered, as
    // interleaved stereo samples (all zero while there is no synth).
    std::vector<float> vorrücken(double ms);
    // Waits for the SoundFont thread; true when sound now reaches the synth.
    bool warteAufKlang();
    bool klingt() const;
    // The synth, once warteAufKlang() returned true (for looking at channel state).
    const FluidKlang* klang() const;
    // Renders ahead into the store the output takes from, up to
    // Vorlauf frames or the given number of blocks; the render thread calls
    // it, tests may too (a few blocks stand for a render thread held up).
    void vorausRendern(int blöcke = Vorlauf);
    // What an output takes: copies up to `höchstens` frames from the store
    // into two buffers and says how many; never renders or waits for a lock.
    int ausgabeNehmen(float* links, float* rechts, int höchstens);
    // What an audio driver's callback does: takes as much, and where the
    // store runs dry fills up with silence and counts an underrun.
    void ausgabeFüllen(float* links, float* rechts, int frames);
    long unterläufe() const { return unterläufe_; }
    // Whether the recording of the piece opened as `alias` is made and ready
    // to take over: the next block rendered takes it up.
    bool aufnahmeBereit(const std::string& alias);
    // Whether the output is open: only while something can sound.
    bool ausgabeOffen() const { return offen_; }
    // 256 ms at 32 kHz, topped up a quarter at a time: background music
    // needs no lower latency (a closed piece drops what is stored), and a
    // busy machine may keep the render thread waiting up to 192 ms (with
    // 96 ms, ten minutes of play beside two busy loops and a build ran dry
    // 18 times). Rendering 64 ms at a time instead of 16 costs the render
    // thread a fifth less (the heaviest piece, in the settings panel).
    static constexpr int Vorlauf = 8192;
    // What must be stored before the output opens, and before the next piece
    // is handed out after a close (128 ms): more would only delay the first
    // sound, the rest follows at once while the output already plays.
    static constexpr int Anlauf = 4096;
    // A closed piece fades out over this many frames (8 ms at 32 kHz) instead
    // of breaking off with a click.
    static constexpr int Ausblendung = 256;
    // A recorded piece that is stopped: the synth plays the notes sounding
    // there from where they began, unheard and as fast as it can, and
    // releases them as a live stop does. Notes begun longer ago than this
    // (2 s at 32 kHz; at most a few ten milliseconds of synthesis) are left out.
    static constexpr int Einholen = 65536;
    // Where that cannot be (the synth is busy with another piece), the
    // recording fades out over this many frames (128 ms at 32 kHz) instead.
    static constexpr int Nachklang = 4096;
    // After a recording took over from the synth, the synth's own reverb of
    // the notes it played is still rendered, unheard, this long (the
    // recording holds that reverb too), so that it does not come back when
    // the synth is next heard.
    static constexpr int Nachhall = 32768;
    int abtastrate() const { return einstellungen_.klang.abtastrate; }

private:
    struct Platz {
        std::string alias; // lower case; empty when free
        std::unique_ptr<Sequenzer> sequenzer;
        std::uint64_t schlüssel = 0; // among the recordings; 0 until the SoundFont is known
        std::shared_ptr<Aufnahme> aufnahme;
        // Its sound comes from the recording, from frame `gelesen` on; the
        // sequencer only keeps the time.
        bool gespeichert = false;
        std::int64_t gelesen = 0;
        // Playing live: from this frame on the recording takes over (-1: never).
        std::int64_t übergabe = -1;
        int überblendung = 0; // frames left of the synth fading into the recording
        // Stopped while the recording played: the synth is to take over its notes.
        bool einholen = false;
        // A stopped recording dying away: frames left, and where it reads.
        int ausklang = 0;
        std::int64_t ausklangAb = 0;
        bool klingtGespeichert() const;
    };

    void aussetzer();
    void laden();
    void arbeiten();
    void vorausRendernGesperrt(int blöcke = Vorlauf);
    bool kannKlingen() const;
    void einBlock(float* links, float* rechts);
    void aufnahmeMischen(Platz& p, float* links, float* rechts);
    // The piece's key and its recording when there is one, else it is asked
    // for; without the lock (it may read the disk).
    std::pair<std::uint64_t, std::shared_ptr<Aufnahme>> aufnahmeFür(const std::shared_ptr<const MidiStück>& stück,
                                                                    const std::string& schrift);
    void quelleWählen(Platz& p, bool ausgelassen);
    void aufnahmeAnhalten(Platz& p, bool stopp);
    bool einholen(Platz& p);
    void uhrNachziehen();
    std::int64_t uhrFrames() const;
    Klangziel* ziel();
    Platz* finden(const std::string& alias);
    unsigned öffnen(const std::vector<std::string>& w);
    unsigned spielen(const std::vector<std::string>& w);
    unsigned status(const std::vector<std::string>& w, std::string& antwort);

    Spielereinstellungen einstellungen_;
    mutable std::mutex m_;
    std::condition_variable geladenCv_;
    bool ladenFertig_ = false;
    bool klingt_ = false;
    bool uhrLäuft_;
    std::unique_ptr<FluidKlang> klang_;
    std::unique_ptr<Tonausgabe> ausgabe_; // set with klang_ when there is sound
    // What the outputs take from: the store, and the count of underruns.
    const Tonquelle quelle_{[this](float* l, float* r, int n) { return ausgabeNehmen(l, r, n); },
                            [this] { aussetzer(); }};
    std::string schrift_; // the SoundFont the synth loaded
    std::unique_ptr<Aufnahmen> aufnahmen_;
    int verworfen_ = 0; // frames of the synth still unheard after a recording took over
    std::array<Platz, 2> plätze_;
    std::chrono::nanoseconds uhrStart_{};
    std::int64_t uhrFrames_ = 0; // frames passed on the clock
    double angefordert_ = 0;     // offline: frames asked for so far
    std::int64_t gerendert_ = 0; // offline: frames rendered so far
    // The store between the render thread and the output: one writer,
    // one reader, positions counted in frames since the start.
    static constexpr int Vorratsgröße = 2 * Vorlauf;
    std::array<float, Vorratsgröße> vorratL_{}, vorratR_{};
    std::atomic<std::int64_t> geschrieben_{0}, gelesen_{0};
    std::atomic<bool> leeren_{false}; // the output drops what is stored (a piece was closed)
    // ... all of it: the output took back what it queued and fades that itself.
    std::atomic<bool> zurückgenommen_{false};
    // After that, and at the very start (the output opens as the SoundFont
    // is loaded, before anything is stored), the output waits until Anlauf
    // frames are stored.
    std::atomic<bool> anlauf_{true};
    std::atomic<long> unterläufe_{0};
    std::atomic<bool> offen_{false};
    std::atomic<bool> tönt_{false}; // something plays: a dry store is an underrun
    bool ausgeklungen_ = true;      // the last block stored was the faded end
    bool ausklingen_ = true;        // voices still sounding may die away
    bool ende_ = false;
    std::condition_variable arbeit_;
    std::thread arbeiter_;
    std::thread lader_;
};

// The player of the program: sound when it can, silence on the clock when
// not, the pieces recorded into the user's cache folder.
Spielereinstellungen programmeinstellungen();
std::unique_ptr<Befehlsschnittstelle> erzeugeMusikspieler();

} // namespace qmb
