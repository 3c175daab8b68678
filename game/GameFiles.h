// The game's embedded files: the pictures and music the build places in the program.
//
// Builds on the embedded-file registry (runtime/EmbeddedFile.h). The game registers each file just before
// it first opens it as "incbin::" + its name.
#pragma once

#include "runtime/EmbeddedFile.h"

#include <span>
#include <string_view>

namespace vanta::game {

// Every file the build embedded for the game.
std::span<const EmbeddedBlock> GameFiles();

// Registers the game file `name` under that name. A name the build did not embed registers nothing, so
// opening it fails like any unknown "incbin::" name and its load answers `Null`; a name registered
// before keeps its first registration.
void RegisterGameFile(std::string_view name);

} // namespace vanta::game
