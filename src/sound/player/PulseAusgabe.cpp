// The sound server of Linux desktops, spoken to directly: PulseAudio, or
// PipeWire through its PulseAudio protocol. Through ALSA's plugin the same
// server wanted two threads of ours woken every 16 ms; here one thread wakes
// when the server's queue of 160 ms has room for another 64 ms.
#include "sound/player/Tonausgabe.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <vector>

namespace qmb {

namespace {

constexpr int Bytes = 2 * sizeof(float); // one stereo frame

class PulseAusgabe final : public Tonausgabe {
public:
    PulseAusgabe(int abtastrate, Tonquelle quelle) : rate_(abtastrate), quelle_(std::move(quelle)) {}
    ~PulseAusgabe() override;
    bool verbinden();
    bool starten() override;
    void beenden() override;
    void nachschub() override;
    bool verklungen() const override { return verklungen_; }
    bool nimmtZurück() const override { return true; }
    void zurücknehmen(int ausblendung) override;

private:
    // The server asks for sound whenever this much is missing from its queue
    // (64 ms at 32 kHz): about sixteen wake-ups a second.
    static constexpr int Anforderung = 2048;
    // What the device itself may hold (32 ms), as through ALSA's plugin
    // before: the server's own wake-ups stay as they were.
    static constexpr int Gerät = 1024;
    // The queue: the device's share and two requests, so that a request
    // answered late still finds 64 ms queued.
    static constexpr int Schlange = 2 * Anforderung + Gerät;
    // Taking back starts this far past what the server has read (8 ms):
    // the time for our message to reach it.
    static constexpr int Vorsprung = 256;
    // What was written, by its place in the stream, for taking back: more
    // than the queue ever holds.
    static constexpr int Verlauf = 4 * Schlange;

    static void zustand(pa_context*, void* d) {
        pa_threaded_mainloop_signal(static_cast<PulseAusgabe*>(d)->schleife_, 0);
    }
    static void stromZustand(pa_stream*, void* d) {
        pa_threaded_mainloop_signal(static_cast<PulseAusgabe*>(d)->schleife_, 0);
    }
    static void anfrage(pa_stream*, size_t, void* d) { static_cast<PulseAusgabe*>(d)->nachfüllen(); }
    static void unterlauf(pa_stream*, void* d);
    static void zeit(pa_stream* s, int erfolg, void* d);
    // The following run with the main loop's lock held.
    bool kontextBereit();
    bool öffnen();
    void nachfüllen();
    void senden(const float* frames, int n);
    void schließen();

    int rate_;
    Tonquelle quelle_;
    pa_threaded_mainloop* schleife_ = nullptr;
    pa_context* kontext_ = nullptr;
    pa_stream* strom_ = nullptr;
    std::vector<float> verlauf_ = std::vector<float>(2 * Verlauf);
    std::vector<float> links_ = std::vector<float>(Anforderung), rechts_ = std::vector<float>(Anforderung);
    std::vector<float> block_ = std::vector<float>(2 * Anforderung);
    std::int64_t stelle_ = 0; // frames: where the next write goes in the stream
    std::int64_t server_ = 0; // frames: where the server's write index stands
    int ausstehend_ = 0;      // frames to fade once the server said how far it read
    bool hungrig_ = false;    // the source had less than the server asked for
    bool gestört_ = false;    // the stream broke off, or could not be made
    std::chrono::steady_clock::time_point nächsterVersuch_{};
    // How far the server had read at the last take-back, and when it said so.
    std::int64_t gelesen_ = 0;
    std::chrono::steady_clock::time_point gelesenUm_{};
    std::atomic<bool> verklungen_{true};
};

PulseAusgabe::~PulseAusgabe() {
    if (schleife_) pa_threaded_mainloop_stop(schleife_);
    if (strom_) pa_stream_unref(strom_);
    if (kontext_) {
        pa_context_disconnect(kontext_);
        pa_context_unref(kontext_);
    }
    if (schleife_) pa_threaded_mainloop_free(schleife_);
}

bool PulseAusgabe::verbinden() {
    schleife_ = pa_threaded_mainloop_new();
    if (!schleife_ || pa_threaded_mainloop_start(schleife_) < 0) return false;
    pa_threaded_mainloop_lock(schleife_);
    const bool bereit = kontextBereit();
    pa_threaded_mainloop_unlock(schleife_);
    return bereit;
}

// A connection to the server, anew when the last one broke off.
bool PulseAusgabe::kontextBereit() {
    if (kontext_ && !PA_CONTEXT_IS_GOOD(pa_context_get_state(kontext_))) {
        pa_context_unref(kontext_);
        kontext_ = nullptr;
    }
    if (!kontext_) {
        kontext_ = pa_context_new(pa_threaded_mainloop_get_api(schleife_), "Quambel");
        if (!kontext_) return false;
        pa_context_set_state_callback(kontext_, &zustand, this);
        // No server of our own is started: without one, FluidSynth's drivers play.
        pa_context_connect(kontext_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
    }
    pa_context_state_t z;
    while ((z = pa_context_get_state(kontext_)) != PA_CONTEXT_READY && PA_CONTEXT_IS_GOOD(z))
        pa_threaded_mainloop_wait(schleife_);
    return z == PA_CONTEXT_READY;
}

bool PulseAusgabe::starten() {
    pa_threaded_mainloop_lock(schleife_);
    const bool offen = öffnen();
    pa_threaded_mainloop_unlock(schleife_);
    return offen;
}

bool PulseAusgabe::öffnen() {
    if (!strom_ && kontextBereit()) {
        const pa_sample_spec art{PA_SAMPLE_FLOAT32NE, static_cast<std::uint32_t>(rate_), 2};
        strom_ = pa_stream_new(kontext_, "Musik", &art, nullptr);
    }
    if (strom_ && pa_stream_get_state(strom_) == PA_STREAM_UNCONNECTED) {
        pa_stream_set_state_callback(strom_, &stromZustand, this);
        pa_stream_set_write_callback(strom_, &anfrage, this);
        pa_stream_set_underflow_callback(strom_, &unterlauf, this);
        pa_buffer_attr puffer{};
        puffer.maxlength = static_cast<std::uint32_t>(-1);
        puffer.tlength = Schlange * Bytes;
        puffer.prebuf = Gerät * Bytes;
        puffer.minreq = Anforderung * Bytes;
        puffer.fragsize = static_cast<std::uint32_t>(-1);
        stelle_ = server_ = 0;
        ausstehend_ = 0;
        hungrig_ = false;
        verklungen_ = true; // nothing queued yet: with nothing to play it closes again
        if (pa_stream_connect_playback(strom_, nullptr, &puffer, PA_STREAM_NOFLAGS, nullptr, nullptr) < 0) schließen();
    }
    pa_stream_state_t z = PA_STREAM_FAILED;
    while (strom_ && (z = pa_stream_get_state(strom_)) == PA_STREAM_CREATING) pa_threaded_mainloop_wait(schleife_);
    if (z != PA_STREAM_READY) schließen();
    gestört_ = z != PA_STREAM_READY;
    return !gestört_;
}

void PulseAusgabe::beenden() {
    pa_threaded_mainloop_lock(schleife_);
    schließen();
    pa_threaded_mainloop_unlock(schleife_);
}

void PulseAusgabe::schließen() {
    if (!strom_) return;
    pa_stream_set_state_callback(strom_, nullptr, nullptr);
    pa_stream_set_write_callback(strom_, nullptr, nullptr);
    pa_stream_set_underflow_callback(strom_, nullptr, nullptr);
    if (pa_stream_get_state(strom_) == PA_STREAM_READY) pa_stream_disconnect(strom_);
    pa_stream_unref(strom_);
    strom_ = nullptr;
    verklungen_ = true;
}

void PulseAusgabe::nachschub() {
    pa_threaded_mainloop_lock(schleife_);
    // The server went away (it was restarted, or the desktop's sound was set
    // up anew): a new connection and stream, tried once a second while the
    // music goes on.
    if (gestört_ || (strom_ && !PA_STREAM_IS_GOOD(pa_stream_get_state(strom_)))) {
        schließen();
        gestört_ = true;
        if (const auto jetzt = std::chrono::steady_clock::now(); jetzt >= nächsterVersuch_) {
            nächsterVersuch_ = jetzt + std::chrono::seconds(1);
            öffnen();
        }
    } else if (hungrig_) {
        nachfüllen();
    }
    pa_threaded_mainloop_unlock(schleife_);
}

void PulseAusgabe::nachfüllen() {
    hungrig_ = false;
    if (!strom_ || ausstehend_ > 0 || pa_stream_get_state(strom_) != PA_STREAM_READY) return;
    // After a take-back the next piece goes right after the fade, or, once
    // the server has read past that, where it reads now: written behind its
    // read index, the piece's start would be lost.
    if (stelle_ < server_) {
        const auto vergangen = std::chrono::steady_clock::now() - gelesenUm_;
        const std::int64_t jetzt =
            gelesen_ + Vorsprung +
            std::chrono::duration_cast<std::chrono::microseconds>(vergangen).count() * rate_ / 1000000;
        stelle_ = std::min(std::max(stelle_, jetzt), server_);
    }
    // After a take-back, what lies between the fade and the end of the
    // silence written there is room as well: the server may ask for it again
    // only later, and what follows the fade would wait for that.
    auto frei = static_cast<int>(pa_stream_writable_size(strom_) / Bytes + (server_ - stelle_));
    while (frei > 0) {
        const int wunsch = std::min(frei, Anforderung);
        const int n = quelle_.nehmen(links_.data(), rechts_.data(), wunsch);
        for (int i = 0; i < n; ++i) {
            block_[2 * i] = links_[i];
            block_[2 * i + 1] = rechts_[i];
        }
        senden(block_.data(), n);
        frei -= n;
        if (n < wunsch) {
            hungrig_ = true;
            break;
        }
    }
}

// Writes n frames where the stream stands, and keeps them for taking back.
void PulseAusgabe::senden(const float* frames, int n) {
    if (n <= 0) return;
    for (int i = 0; i < n; ++i) {
        const auto v = static_cast<std::size_t>((stelle_ + i) % Verlauf);
        verlauf_[2 * v] = frames[2 * i];
        verlauf_[2 * v + 1] = frames[2 * i + 1];
    }
    // After a take-back the stream goes on right after the fade, before the
    // server's write index.
    const bool springen = stelle_ != server_;
    pa_stream_write(strom_, frames, static_cast<std::size_t>(n) * Bytes, nullptr, springen ? stelle_ * Bytes : 0,
                    springen ? PA_SEEK_ABSOLUTE : PA_SEEK_RELATIVE);
    stelle_ += n;
    server_ = stelle_;
    verklungen_ = false;
}

void PulseAusgabe::unterlauf(pa_stream*, void* d) {
    auto* a = static_cast<PulseAusgabe*>(d);
    a->verklungen_ = true;
    a->quelle_.leer();
}

void PulseAusgabe::zurücknehmen(int ausblendung) {
    pa_threaded_mainloop_lock(schleife_);
    if (strom_ && ausstehend_ == 0) {
        // Where to begin depends on how far the server has read: it answers
        // on the main loop's thread, and until then nothing is written.
        if (pa_operation* o = pa_stream_update_timing_info(strom_, &zeit, this)) {
            ausstehend_ = std::max(ausblendung, 1);
            pa_operation_unref(o);
        }
    }
    pa_threaded_mainloop_unlock(schleife_);
}

void PulseAusgabe::zeit(pa_stream* s, int erfolg, void* d) {
    auto* a = static_cast<PulseAusgabe*>(d);
    if (s != a->strom_) return;
    const int ausblendung = a->ausstehend_;
    a->ausstehend_ = 0;
    const pa_timing_info* t = erfolg ? pa_stream_get_timing_info(s) : nullptr;
    a->gelesen_ = t && !t->read_index_corrupt ? t->read_index / Bytes : a->stelle_;
    a->gelesenUm_ = std::chrono::steady_clock::now();
    const std::int64_t ab = a->gelesen_ + Vorsprung;
    // Frames from `ab` to the end of what was written: the first fade out,
    // the rest becomes silence.
    if (ab < a->stelle_ && a->stelle_ - ab <= Verlauf) {
        const auto länge = static_cast<int>(a->stelle_ - ab);
        const int n = std::min(ausblendung, länge);
        std::vector<float> neu(2 * static_cast<std::size_t>(länge), 0.0f);
        for (int i = 0; i < n; ++i) {
            const float g = ausblendFaktor(i, n);
            const auto v = static_cast<std::size_t>((ab + i) % Verlauf);
            neu[2 * i] = a->verlauf_[2 * v] * g;
            neu[2 * i + 1] = a->verlauf_[2 * v + 1] * g;
        }
        a->stelle_ = ab;
        a->senden(neu.data(), länge);
        a->stelle_ = ab + n;
    }
    a->nachfüllen();
}

} // namespace

std::unique_ptr<Tonausgabe> tonserver(int abtastrate, Tonquelle quelle) {
    auto a = std::make_unique<PulseAusgabe>(abtastrate, std::move(quelle));
    if (!a->verbinden()) return nullptr;
    return a;
}

} // namespace qmb
