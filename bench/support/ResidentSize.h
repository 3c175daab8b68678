// The process's resident size, for benchmarks that watch memory over a long run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <unistd.h>

namespace vanta::bench {

// The resident size of this process in bytes, from /proc/self/statm; 0 when it cannot be read.
inline std::int64_t ResidentBytes()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return static_cast<std::int64_t>(resident) * ::sysconf(_SC_PAGESIZE);
}

} // namespace vanta::bench
