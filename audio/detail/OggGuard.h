// libvorbisfile calls under a guard against the library's own arithmetic faults.
//
// Some hostile setup headers make Debian's libvorbis 1.3.7 divide by zero while it decodes (a residue
// phrasebook of dimension 0). Those calls are made here, in C, with a SIGFPE handler that jumps back out
// of the library: no C++ frame lies between the jump point and the library, so nothing is skipped that
// would need unwinding. A decoder that faulted is not used again, except to be cleared.
//
// Main thread only: the handler is installed for the length of one call and the previous one restored.
#pragma once

#include <vorbis/vorbisfile.h>

#ifdef __cplusplus
extern "C" {
#endif

// What the guarded calls answer when the library faulted.
#define VANTA_OGG_FAULT (-1000)

int VantaOggOpen(void* source, OggVorbis_File* file, ov_callbacks callbacks);
long VantaOggRead(OggVorbis_File* file, char* buffer, int length, int* bitstream);

#ifdef __cplusplus
}
#endif
