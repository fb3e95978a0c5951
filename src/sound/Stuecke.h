#pragma once
// The six pieces of music as the program names them: the number each is
// carried under (assets/CMakeLists.txt builds them so) and the alias it
// plays under.
#include <string>

namespace qmb {

// The two jingles, then the four background pieces: Lieder[i] of modSound
// is carried under RESSOURCE_LIED_1 + i - 1.
inline constexpr int RESSOURCE_VERLOREN = 101;
inline constexpr int RESSOURCE_GEWONNEN = 102;
inline constexpr int RESSOURCE_LIED_1 = 103;
inline constexpr int LIEDER = 4;

inline const std::string ALIAS_MUSIK = "qmbgame";   // the background piece
inline const std::string ALIAS_JINGLE = "qmbscore"; // the jingle at a game's end

} // namespace qmb
