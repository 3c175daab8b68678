// Runs a program to completion for tests: its exit status and everything it wrote.
#pragma once

#include <string>
#include <vector>

namespace vanta::test {

struct ProcessResult
{
    int status = -1; // the exit status, or 128 + the signal number when a signal ended it
    std::string out;
    std::string err;
};

// Runs `argv` (argv[0] is the program's path) in `directory` with an empty standard input.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& directory,
                         const std::string& input = {});

} // namespace vanta::test
