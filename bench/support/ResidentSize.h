// The process's resident size and the C library's heap, for benchmarks that watch memory over a long run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <malloc.h>
#include <unistd.h>

namespace vanta::bench {

// Resident pages of this process from /proc/self/statm, in bytes: all of them, and those backed by a file
// or shared memory (library code and data paged in, shared segments). Zero when statm cannot be read.
struct TResidentSize
{
    std::int64_t total = 0; // every resident page
    std::int64_t file = 0;  // resident pages backed by a file or shared memory; the rest is anonymous
};

// The resident size of this process now.
inline TResidentSize ReadResidentSize()
{
    long pages = 0;
    long resident = 0;
    long shared = 0;
    TResidentSize size;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld %ld", &pages, &resident, &shared) == 3) {
            const long page = ::sysconf(_SC_PAGESIZE);
            size.total = static_cast<std::int64_t>(resident) * page;
            size.file = static_cast<std::int64_t>(shared) * page;
        }
        std::fclose(statm);
    }
    return size;
}

// The resident size of this process in bytes, from /proc/self/statm; 0 when it cannot be read.
inline std::int64_t ResidentBytes()
{
    return ReadResidentSize().total;
}

// Bytes the C library's malloc has handed out and not had back, over all arenas: blocks carved from the
// arenas plus blocks mapped on their own (glibc's mallinfo2).
inline std::int64_t MallocBytesInUse()
{
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

} // namespace vanta::bench
