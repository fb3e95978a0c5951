#pragma once
// Where the player's sound goes to be heard. The player keeps sound stored
// ahead on its render thread; an output takes it from that store at its own
// pace. There are two: the desktop's sound server spoken to directly where
// there is one (PulseAudio, or PipeWire speaking its protocol), which can
// queue a lot and so wakes rarely, and FluidSynth's audio drivers everywhere
// else (ALSA without a server, WASAPI or DirectSound on Windows).
#include <algorithm>
#include <functional>
#include <memory>

namespace qmb {

struct Tonquelle {
    // Copies up to `höchstens` stored frames into the two channels and says
    // how many it copied; never waits.
    std::function<int(float* links, float* rechts, int höchstens)> nehmen;
    // The output wanted sound and had none left to play.
    std::function<void()> leer;
};

// The gain of frame i of n as a closed piece fades out, where the player
// fades its store and where an output fades what it takes back: the same
// ending either way.
inline float ausblendFaktor(int i, int n) { return static_cast<float>(n - i) / static_cast<float>(n + 1); }

// What an output that must fill whole buffers does: takes what is stored,
// silence for the rest, and tells the source when it ran dry. Says how many
// frames were sound.
inline int füllen(const Tonquelle& quelle, float* links, float* rechts, int frames) {
    const int n = quelle.nehmen(links, rechts, frames);
    if (n == frames) return n;
    std::fill(links + n, links + frames, 0.0f);
    std::fill(rechts + n, rechts + frames, 0.0f);
    quelle.leer();
    return n;
}

class Tonausgabe {
public:
    virtual ~Tonausgabe() = default;
    // Opens the device; from now on sound is taken from the source. False
    // when the device does not answer.
    virtual bool starten() = 0;
    // Closes the device; what it still queued is dropped.
    virtual void beenden() = 0;
    // The source stored something: an output that found it short when it
    // last asked takes it now, instead of waiting for its own queue to run low.
    virtual void nachschub() {}
    // Everything taken from the source has been played.
    virtual bool verklungen() const = 0;
    // Whether this output can take back what it queued (below). The
    // player fades what it has stored itself when not.
    virtual bool nimmtZurück() const { return false; }
    // Takes back what is queued but not about to be heard: its first
    // `ausblendung` frames fade out, the rest is silence, and what the
    // source gives next follows the fade.
    virtual void zurücknehmen(int ausblendung) { (void)ausblendung; }
};

// The desktop's sound server, stereo at `abtastrate` Hz; null when no server
// answers (or this system has none we speak to).
std::unique_ptr<Tonausgabe> tonserver(int abtastrate, Tonquelle quelle);

} // namespace qmb
