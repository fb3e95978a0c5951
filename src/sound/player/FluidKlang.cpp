#include "sound/player/FluidKlang.h"

#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>

#include "platform/Systemdienste.h"

#if defined(__linux__)
#include <dlfcn.h>
#endif

namespace qmb {

namespace {
constexpr int Kanäle = 32;
constexpr int ZweiterSchlagzeugkanal = 16 + 9;
} // namespace

#if defined(__linux__)
namespace {
// ALSA's library writes its own complaints (no card, unknown PCM) straight
// to stderr, eight lines where one of ours says it all. FluidSynth brings
// the library in, so we look for its hook at run time instead of building
// against ALSA ourselves.
extern "C" void alsaSchweigt(const char*, int, const char*, int, const char*, ...) {}
using AlsaMeldung = void (*)(const char*, int, const char*, int, const char*, ...);
using AlsaMeldungSetzen = int (*)(AlsaMeldung);

void alsaStummschalten() {
    if (void* f = dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler"))
        reinterpret_cast<AlsaMeldungSetzen>(f)(&alsaSchweigt);
}
} // namespace
#else
namespace {
void alsaStummschalten() {}
} // namespace
#endif

void fluidStummschalten() {
    static std::once_flag einmal;
    std::call_once(einmal, [] {
        for (int stufe = FLUID_PANIC; stufe <= FLUID_DBG; ++stufe) fluid_set_log_function(stufe, nullptr, nullptr);
        alsaStummschalten();
    });
}

std::vector<std::string> FluidKlang::schriftKandidaten() {
    std::vector<std::string> liste;
    if (const char* env = std::getenv("QUAMBEL_SOUNDFONT"); env && *env) liste.emplace_back(env);
#ifdef _WIN32
    // Windows has no SoundFont of its own: the package puts one beside the
    // program. FluidSynth takes UTF-8 paths there too.
    const std::string ordner = programmordner();
    if (!ordner.empty())
        for (const char* name : {"TimGM6mb.sf2", "default-GM.sf2", "FluidR3_GM.sf2"})
            liste.push_back(ordner + "\\" + name);
#endif
    // The small GM font that the game's package depends on comes first: it
    // loads in ~40 ms and takes ~30 MB, where FluidR3 (which the system's
    // default link prefers when installed) needs ~0.6 s and ~170 MB, too much
    // for a small game. Then the system's own choice, then the others.
    for (const char* p : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
                          "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3"})
        liste.emplace_back(p);
    return liste;
}

std::unique_ptr<FluidKlang> FluidKlang::erzeugen(const std::string& schrift, const Klangeinstellungen& e,
                                                 std::string& grund) {
    fluidStummschalten();
    // FluidSynth sets up its process-wide tables in the first new_fluid_synth
    // and shares sample data between synths that load the same SoundFont;
    // neither is safe when two synths are built at the same time (two players,
    // each loading on its own thread, then sounded differently). One at a time.
    static std::mutex bauen;
    std::lock_guard lock(bauen);
    std::error_code f;
    if (schrift.empty() || !std::filesystem::is_regular_file(utf8Pfad(schrift), f)) {
        grund = "kein SoundFont";
        return nullptr;
    }
    std::unique_ptr<FluidKlang> k(new FluidKlang);
    k->einstellungen_ = new_fluid_settings();
    if (!k->einstellungen_) {
        grund = "FluidSynth nicht bereit";
        return nullptr;
    }
    fluid_settings_setnum(k->einstellungen_, "synth.sample-rate", e.abtastrate);
    fluid_settings_setint(k->einstellungen_, "synth.midi-channels", Kanäle);
    fluid_settings_setint(k->einstellungen_, "synth.polyphony", e.polyphonie);
    fluid_settings_setnum(k->einstellungen_, "synth.gain", e.lautstärke);
    fluid_settings_setint(k->einstellungen_, "synth.reverb.active", e.effekte);
    fluid_settings_setint(k->einstellungen_, "synth.chorus.active", e.effekte);
    // FluidSynth's default asks for sound every 64 frames (690 wake-ups a
    // second), which costs more CPU than the synthesis itself. The player
    // renders ahead on its own thread; the driver only copies.
    fluid_settings_setint(k->einstellungen_, "audio.period-size", e.periodenlänge);
    fluid_settings_setint(k->einstellungen_, "audio.periods", e.perioden);
    // Loading every sample up front keeps disk reads off the audio thread.
    fluid_settings_setint(k->einstellungen_, "synth.dynamic-sample-loading", 0);
    k->synth_ = new_fluid_synth(k->einstellungen_);
    if (!k->synth_) {
        grund = "FluidSynth nicht bereit";
        return nullptr;
    }
    if (fluid_synth_sfload(k->synth_, schrift.c_str(), 1) == FLUID_FAILED) {
        grund = "SoundFont nicht lesbar";
        return nullptr;
    }
    // Only channel 9 is a drum channel from the start; the second piece has
    // its drums on 25. Marking it as a drum channel is not enough: FluidSynth
    // chooses the drum bank only when it sets a channel up, and a program
    // change keeps whatever bank the channel holds. So the channel gets the
    // drum bank by hand, and from then on ignores bank selects as channel 9
    // does (so the pieces' own bank-select messages cannot take the drums away).
    fluid_synth_set_channel_type(k->synth_, ZweiterSchlagzeugkanal, CHANNEL_TYPE_DRUM);
    fluid_synth_bank_select(k->synth_, ZweiterSchlagzeugkanal, 128);
    fluid_synth_program_change(k->synth_, ZweiterSchlagzeugkanal, 0);
    return k;
}

FluidKlang::~FluidKlang() {
    if (synth_) delete_fluid_synth(synth_);
    if (einstellungen_) delete_fluid_settings(einstellungen_);
}

void FluidKlang::nachricht(int kanal, std::uint8_t art, std::uint8_t d1, std::uint8_t d2) {
    if (kanal < 0 || kanal >= Kanäle) return;
    switch (art) {
    case 0x80: fluid_synth_noteoff(synth_, kanal, d1); break;
    case 0x90:
        if (d2 == 0)
            fluid_synth_noteoff(synth_, kanal, d1);
        else
            fluid_synth_noteon(synth_, kanal, d1, d2);
        break;
    case 0xA0: fluid_synth_key_pressure(synth_, kanal, d1, d2); break;
    case 0xB0: fluid_synth_cc(synth_, kanal, d1, d2); break;
    case 0xC0: fluid_synth_program_change(synth_, kanal, d1); break;
    case 0xD0: fluid_synth_channel_pressure(synth_, kanal, d1); break;
    case 0xE0: fluid_synth_pitch_bend(synth_, kanal, d1 | (d2 << 7)); break;
    default: break;
    }
}

void FluidKlang::rendern(float* links, float* rechts, int frames) {
    fluid_synth_write_float(synth_, frames, links, 0, 1, rechts, 0, 1);
}

namespace {

class Treiberausgabe final : public Tonausgabe {
public:
    Treiberausgabe(fluid_settings_t* e, std::string wahl, Tonquelle q)
        : einstellungen_(e), wahl_(std::move(wahl)), quelle_(std::move(q)) {
        int länge = 0, anzahl = 0;
        fluid_settings_getint(e, "audio.period-size", &länge);
        fluid_settings_getint(e, "audio.periods", &anzahl);
        puffer_ = static_cast<std::int64_t>(länge) * anzahl;
    }
    ~Treiberausgabe() override { beenden(); }
    bool starten() override {
        if (treiber_) return true;
        const auto doppelpunkt = wahl_.find(':');
        const std::string name = wahl_.substr(0, doppelpunkt);
        if (!name.empty()) fluid_settings_setstr(einstellungen_, "audio.driver", name.c_str());
        if (doppelpunkt != std::string::npos)
            fluid_settings_setstr(einstellungen_, ("audio." + name + ".device").c_str(),
                                  wahl_.c_str() + doppelpunkt + 1);
        stille_ = 0;
        treiber_ = new_fluid_audio_driver2(einstellungen_, &rückruf, this);
        return treiber_ != nullptr;
    }
    void beenden() override {
        if (treiber_) delete_fluid_audio_driver(treiber_);
        treiber_ = nullptr;
    }
    // Once a whole device buffer of silence has gone out, closing cuts nothing off.
    bool verklungen() const override { return stille_ >= puffer_; }

private:
    static int rückruf(void* daten, int frames, int, float*[], int nout, float* aus[]) {
        auto* a = static_cast<Treiberausgabe*>(daten);
        if (nout < 2) return 0;
        const int n = füllen(a->quelle_, aus[0], aus[1], frames);
        a->stille_ = (n > 0 ? 0 : a->stille_.load()) + (frames - n);
        return 0;
    }
    fluid_settings_t* einstellungen_;
    std::string wahl_;
    Tonquelle quelle_;
    std::int64_t puffer_ = 0;
    fluid_audio_driver_t* treiber_ = nullptr;
    std::atomic<std::int64_t> stille_{0};
};

} // namespace

std::unique_ptr<Tonausgabe> FluidKlang::treiberausgabe(const std::string& treiber, Tonquelle quelle) {
    return std::make_unique<Treiberausgabe>(einstellungen_, treiber, std::move(quelle));
}

int FluidKlang::regler(int kanal, int nummer) const {
    int wert = -1;
    fluid_synth_get_cc(synth_, kanal, nummer, &wert);
    return wert;
}

int FluidKlang::programm(int kanal) const {
    int schrift = 0, bank = 0, prog = -1;
    fluid_synth_get_program(synth_, kanal, &schrift, &bank, &prog);
    return prog;
}

int FluidKlang::bank(int kanal) const {
    int schrift = 0, bank = -1, prog = 0;
    fluid_synth_get_program(synth_, kanal, &schrift, &bank, &prog);
    return bank;
}

int FluidKlang::biegung(int kanal) const {
    int wert = -1;
    fluid_synth_get_pitch_bend(synth_, kanal, &wert);
    return wert;
}

int FluidKlang::stimmen() const { return fluid_synth_get_active_voice_count(synth_); }

std::pair<unsigned, unsigned> FluidKlang::notenspanne() const {
    std::vector<fluid_voice_t*> liste(static_cast<std::size_t>(fluid_synth_get_polyphony(synth_)));
    fluid_synth_get_voicelist(synth_, liste.data(), static_cast<int>(liste.size()), -1);
    // Numbers count from 0 in the synth; ours from 1, so that 0 is "none".
    unsigned klein = 0, groß = 0;
    for (fluid_voice_t* v : liste) {
        if (!v) break;
        const unsigned n = fluid_voice_get_id(v) + 1;
        klein = klein == 0 ? n : std::min(klein, n);
        groß = std::max(groß, n);
    }
    return {klein, groß};
}

double FluidKlang::einstellung(const char* name) const {
    double d = -1;
    int i = -1;
    if (fluid_settings_get_type(einstellungen_, name) == FLUID_NUM_TYPE)
        fluid_settings_getnum(einstellungen_, name, &d);
    else if (fluid_settings_getint(einstellungen_, name, &i) == FLUID_OK)
        d = i;
    return d;
}

} // namespace qmb
