#pragma once
// The system asks the program to end: SIGTERM, SIGINT, SIGHUP at a logout
// (on Windows it would be the console's close or WM_ENDSESSION). Left to the
// default, the program would die on the spot and leave its music folder
// behind. Instead the request is turned into a call on the event loop, where
// nothing of the program is half done (a list is written in one go there),
// and the program then ends as the system asked.
#include <functional>

namespace qmb {

// From now on, an end request calls `beenden` on the event loop (whatever
// dialogue is open); when it returns, the process ends as the request wants.
// Further requests change nothing; should the clean-up not be done within a
// few seconds, the process ends anyway. One implementation per system
// (Beendensignal_posix.cpp, Beendensignal_win.cpp).
void beiBeendenSignal(std::function<void()> beenden);

} // namespace qmb
