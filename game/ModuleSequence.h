// The module-initialisation sequence the game runs before anything else.
//
// Every module has one once-only initialiser that first runs the initialisers of the modules it imports.
// The order below decides which implementations are current when the game starts: the silent audio
// driver is replaced by the wave-out driver when the device opens, the system driver is installed before
// any clock or input call, and loaders and stream factories are asked newest first.
#pragma once

namespace vanta::game {

// The game module's own initialiser: makes sure the runtime core is initialised.
void InitGameModule();

// The last game-side initialiser: makes sure the runtime core and the pixmap module are initialised.
void InitGameModuleLast();

// Step 26, in place of the Direct3D 7 2D driver's initialiser (not built): selects the GL 2D driver with
// the default flags `GFX_BACKBUFFER`.
void InitGraphicsDriverChoice();

// Runs the 31 module initialisers in order. Running it again does nothing.
void RunModuleInitialisers();

} // namespace vanta::game
