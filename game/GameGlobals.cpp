// The demo game's globals.
#include "game/GameGlobals.h"

namespace vanta::game {

GameGlobals& Globals()
{
    // Never destroyed: the objects it holds stay alive to the end of the process, like the handles.
    static GameGlobals& globals = *new GameGlobals;
    return globals;
}

void ResetGlobals()
{
    Globals() = GameGlobals{};
}

} // namespace vanta::game
