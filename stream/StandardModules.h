// The runtime's standard-module bundle: one initialiser that runs those of the standard modules.
#pragma once

namespace vanta {

// Runs the initialisers of the stream, memory-stream, memory-block and linked-list modules.
void InitStandardModules();

} // namespace vanta
