// Compiled as part of the music module's floor, which lies below the game's.
#include "game/frmMain.h"
