// The process entry of the demo game.
#include "game/GameMain.h"
#include "runtime/Startup.h"

int main(int argc, char** argv)
{
    return vanta::RunProgram(argc, argv, vanta::game::RunGame);
}
