// libvorbisfile calls under a guard against the library's arithmetic faults (see OggGuard.h).
#include "audio/detail/OggGuard.h"

#include <setjmp.h>
#include <signal.h>
#include <stddef.h>

// The jump point of the guarded call running on this thread, or NULL.
static _Thread_local sigjmp_buf* guardedCall;
static struct sigaction previousAction;

static void OnArithmeticFault(int signal)
{
    (void)signal;
    if (guardedCall != NULL) siglongjmp(*guardedCall, 1);
    // A fault on a thread that is not inside a guarded call is none of ours: with the previous handler back
    // in place, the faulting instruction runs again and faults to it.
    sigaction(SIGFPE, &previousAction, NULL);
}

static void Install(sigjmp_buf* target)
{
    struct sigaction action;
    action.sa_handler = OnArithmeticFault;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGFPE, &action, &previousAction);
    guardedCall = target;
}

static void Remove(void)
{
    guardedCall = NULL;
    sigaction(SIGFPE, &previousAction, NULL);
}

int VantaOggOpen(void* source, OggVorbis_File* file, ov_callbacks callbacks)
{
    sigjmp_buf target;
    if (sigsetjmp(target, 1) != 0) {
        Remove();
        return VANTA_OGG_FAULT;
    }
    Install(&target);
    const int result = ov_open_callbacks(source, file, NULL, 0, callbacks);
    Remove();
    return result;
}

long VantaOggRead(OggVorbis_File* file, char* buffer, int length, int* bitstream)
{
    sigjmp_buf target;
    if (sigsetjmp(target, 1) != 0) {
        Remove();
        return VANTA_OGG_FAULT;
    }
    Install(&target);
    // Little-endian, 16-bit words, signed.
    const long result = ov_read(file, buffer, length, 0, 2, 1, bitstream);
    Remove();
    return result;
}
