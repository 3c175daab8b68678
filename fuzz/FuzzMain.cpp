// The libFuzzer entry of one target: built once per target with VANTA_FUZZ_ENTRY naming its function.
#include "fuzz/FuzzTargets.h"

#ifndef VANTA_FUZZ_ENTRY
#error "VANTA_FUZZ_ENTRY names the target's function"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return vanta::fuzz::VANTA_FUZZ_ENTRY(data, size);
}
