// The console's embedded files: its font "Vanta.fon" and its background picture "bakground.png", made by
// the build and registered when a game opens the console.
#pragma once

namespace vanta::detail {

// Registers "Vanta.fon" in the embedded-file registry.
void RegisterConsoleFont();

// Registers "bakground.png" in the embedded-file registry; false when the program lacks it.
bool RegisterConsoleBackground();

} // namespace vanta::detail
