// The folder of the journals, and each journal file in it, checked before anything
// is read from them or written to them: the folder and every journal belong to the
// user and nobody else may write to them (the folder is made 0700, a journal
// 0600). A journal planted by someone else is never read.
#pragma once

#include "engine/unique_fd.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Where journals are kept: $XDG_STATE_HOME/quorvel when that is an absolute path,
// otherwise ~/.local/state/quorvel.
std::string JournalFolder();

inline constexpr std::string_view kJournalSuffix = ".journal";

// A run writes no plan larger than this (it is refused before anything is renamed),
// and a journal never grows beyond the second: a larger file is no journal.
inline constexpr std::uint64_t kMostPlanBytes = std::uint64_t{1} << 30;
inline constexpr std::uint64_t kMostJournalBytes = std::uint64_t{4} << 30;

class JournalStore {
public:
    enum class Use {
        Read, // a missing folder holds no journal
        Write // made (0700) when missing
    };

    // Nothing, with `error` set, when the folder cannot be opened or made, or is
    // not safe ("dossier des journaux non sûr : PATH").
    static std::optional<JournalStore> Open(const std::string& path, Use use, std::string& error);

    const std::string& Path() const { return path_; }
    // The paths of the journals, oldest first (their names begin with the time).
    std::vector<std::string> Journals() const;
    // Whether `journal` is the path of a journal of this folder.
    bool Holds(std::string_view journal) const;

private:
    explicit JournalStore(std::string path) : path_(std::move(path)) {}

    std::string path_;
    bool missing_ = false;
};

// Opens the journal `path` for reading: a regular file of the user that nobody else
// may write to, not followed when it is a symbolic link, no larger than a journal
// can be. An invalid descriptor, with `why` set, otherwise.
UniqueFd OpenJournalFile(const std::string& path, std::uint64_t& size, std::string& why);

} // namespace quorvel
