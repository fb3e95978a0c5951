#pragma once
// The one FluidSynth synth of the program: 32 MIDI channels (two pieces side
// by side), one SoundFont, and the audio drivers of FluidSynth.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sound/player/Klangziel.h"
#include "sound/player/Tonausgabe.h"

extern "C" {
typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
}

namespace qmb {

struct Klangeinstellungen {
    // 32 kHz costs a quarter less synthesis than 44.1 kHz and loses nothing
    // one hears in these pieces: rendered at 44.1 kHz, what lies above 16 kHz
    // is 42 dB below the whole. The sound server converts to the card's rate.
    int abtastrate = 32000;
    int polyphonie = 96;
    double lautstärke = 0.5; // FluidSynth's own 0.2 is too quiet
    // What the audio driver asks for: 512 frames (16 ms) at a time, four
    // periods deep (64 ms), so that a closed piece is silent within 0.1 s
    // through a sound server, and a late audio thread still finds sound queued.
    int periodenlänge = 512;
    int perioden = 4;
    // Reverb and chorus. Without them the sound is the notes alone, which
    // lets a measurement tell a difference in the notes from one in the
    // effects (whose reverb runs on the synth's own clock).
    bool effekte = true;
};

class FluidKlang : public Klangziel {
public:
    // Creates the synth and loads the SoundFont; null with the reason in
    // `grund` when that fails.
    static std::unique_ptr<FluidKlang> erzeugen(const std::string& schrift, const Klangeinstellungen& e,
                                                std::string& grund);
    ~FluidKlang() override;
    FluidKlang(const FluidKlang&) = delete;
    FluidKlang& operator=(const FluidKlang&) = delete;

    void nachricht(int kanal, std::uint8_t art, std::uint8_t daten1, std::uint8_t daten2) override;
    // Renders `frames` stereo frames into two separate buffers.
    void rendern(float* links, float* rechts, int frames);

    // An output through one of FluidSynth's audio drivers with this synth's
    // buffer settings: "" is FluidSynth's default, "alsa:null" is ALSA's
    // device "null". It asks for sound in its own thread (callback mode) and
    // must end before the synth does.
    std::unique_ptr<Tonausgabe> treiberausgabe(const std::string& treiber, Tonquelle quelle);

    // Channel state as the synth sees it (for tests and diagnosis).
    int regler(int kanal, int nummer) const;
    int programm(int kanal) const;
    int bank(int kanal) const; // 128 on a drum channel
    int biegung(int kanal) const;
    int stimmen() const;
    // The smallest and the largest number among the notes that sound, in
    // the order the synth began them (every note-on one number higher); 0
    // and 0 when none sounds. For a recording to tell when the notes begun
    // before a point have all died away.
    std::pair<unsigned, unsigned> notenspanne() const;
    // A setting as the synth took it ("audio.period-size", "synth.gain", …).
    double einstellung(const char* name) const;

    // The SoundFonts to try in order: $QUAMBEL_SOUNDFONT, then the system's
    // default GM font, then the GM fonts Debian ships, the small one first.
    static std::vector<std::string> schriftKandidaten();

private:
    FluidKlang() = default;
    fluid_settings_t* einstellungen_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
};

// Keeps FluidSynth from writing to the terminal; its failures reach us as
// return values and are reported in one line of our own.
void fluidStummschalten();

} // namespace qmb
