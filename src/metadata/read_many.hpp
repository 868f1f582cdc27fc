// Reading the facts of many files on a few threads: reading facts waits on the
// disk far more than it computes, so the pool is sized for I/O, not for the cores.
#pragma once

#include "engine/file_facts.hpp"
#include "metadata/facts_cache.hpp"

#include <cstddef>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace quorvel {

// A file to read: its name (bytes) in the folder `dirfd`.
struct FileToRead {
    int dirfd = -1;
    std::string name;
};

struct FactsOfFiles {
    std::vector<FileFacts> facts; // one per file, in the order given
    bool stopped = false;         // a stop came before every file was read; the rest are empty
};

// The threads that read, at most.
inline constexpr std::size_t kFactReadingThreads = 6;

// Reads the facts of `wanted` of every file through `cache` (a file whose facts are
// kept is not opened). `progress`, when given, is called on the calling thread
// with the count of files done, each time it has grown, and at the end. A stop
// requested through `stop` is seen between two files.
FactsOfFiles ReadFactsOfFiles(const std::vector<FileToRead>& files, FactSet wanted, FactsCache& cache,
                              const std::function<void(std::size_t done)>& progress = {},
                              std::stop_token stop = {});

} // namespace quorvel
