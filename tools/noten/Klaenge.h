#pragma once
// The names of sounds: pitches like "f#3" and the drums of channel 10.
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace qmb::noten {

const std::map<std::string, int>& schlagzeug();
std::optional<int> tonhöhe(std::string_view w);

} // namespace qmb::noten
