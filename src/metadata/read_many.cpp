#include "metadata/read_many.hpp"

#include "metadata/read_facts.hpp"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

namespace quorvel {

FactsOfFiles ReadFactsOfFiles(const std::vector<FileToRead>& files, FactSet wanted, FactsCache& cache,
                              const std::function<void(std::size_t done)>& progress, std::stop_token stop) {
    FactsOfFiles result;
    result.facts.resize(files.size());
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t done = 0;
    std::size_t working = std::min(kFactReadingThreads, files.size());

    std::vector<std::jthread> workers;
    workers.reserve(working);
    for (std::size_t t = 0; t < std::min(kFactReadingThreads, files.size()); ++t) {
        workers.emplace_back([&] {
            while (!stop.stop_requested()) {
                const std::size_t i = next.fetch_add(1);
                if (i >= files.size()) {
                    break;
                }
                try {
                    result.facts[i] = ReadFacts(files[i].dirfd, files[i].name, wanted, cache);
                } catch (const std::bad_alloc&) {
                    // Memory refused for this file: it has no facts, the others are read.
                }
                const std::lock_guard lock(mutex);
                ++done;
                changed.notify_one();
            }
            const std::lock_guard lock(mutex);
            --working;
            changed.notify_one();
        });
    }

    // The progress is told here, on the calling thread, never on a worker.
    std::size_t told = 0;
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [&] { return done != told || working == 0; });
        const std::size_t now = done;
        const bool finished = working == 0;
        if (progress && (now != told || (finished && told == 0))) {
            lock.unlock();
            progress(now);
            lock.lock();
        }
        told = now;
        if (finished && done == told) {
            break;
        }
    }
    lock.unlock();
    workers.clear();
    result.stopped = told < files.size();
    return result;
}

} // namespace quorvel
