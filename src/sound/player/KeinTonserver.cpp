// Systems without a sound server we speak to (Windows): FluidSynth's own
// drivers (WASAPI, DirectSound) are the output there.
#include "sound/player/Tonausgabe.h"

namespace qmb {

std::unique_ptr<Tonausgabe> tonserver(int, Tonquelle) { return nullptr; }

} // namespace qmb
