#pragma once

#include <cstddef>
#include <string>

namespace nuv::bench {

struct BenchOptions {
    std::string pathsFile;   // --paths: one full path a line
    std::string loadFile;    // --load: an index file instead of a path list
    std::string saveFile;    // --save: write the index here and time it
    std::string queriesFile; // --queries: one query a line, each timed
    std::string query;       // --query with --rows: print rows for checking by hand
    std::size_t rows = 0;
    std::string typingWord; // --typing: time each one-character extension as typed
    int repeat = 5;
};

// False (with the usage printed) when the arguments make no sense.
bool ParseBenchOptions(int argc, char** argv, BenchOptions& options);

} // namespace nuv::bench
