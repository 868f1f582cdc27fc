// Writing a journal (the format is in journal.hpp): the plan of a new run, then the
// records of each session, its summary and "closed".
//
// A write that fails (no room left, an I/O error, a sync that fails) is kept: from
// then on nothing more is written, so that the journal never says "closed" over a
// gap in its records, and Failed() and FailureText() tell the session, which
// reports "journal incomplet". The journal then reads as interrupted, and resume
// and undo take the state of every step from the folder.
#pragma once

#include "engine/unique_fd.hpp"
#include "files/run/file_identity.hpp"
#include "files/run/journal.hpp"
#include "files/run/run_file.hpp"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

struct Journal;
struct RunCounts;
enum class StepState : std::uint8_t;

class JournalWriter {
public:
    // Writes the plan of a new run to a new journal in the folder of the journals
    // `folder` (made when missing, checked), `files` being all the files of the run
    // with their verdicts and `stamps` theirs (empty: unknown), syncs it and the
    // folder, and prunes the old journals (journal_pruning.hpp). Only the files that
    // steps move are written. Nothing, with `error` set, when the journal cannot be
    // written.
    // A run over a tree gives its `places` (journal.hpp); its steps come place by
    // place.
    static std::optional<JournalWriter> Create(const std::string& folder, const FolderIdentity& identity,
                                               std::size_t selected, std::span<const RunFile> files,
                                               std::span<const FileStamp> stamps,
                                               const std::vector<Step>& steps, std::string& error,
                                               const RunPlaces& places = {});
    // Opens a journal to add the records of a resume, an undo or its settling. A
    // journal is locked while it is written: nothing, with `error` set, when another
    // process holds it (kJournalBusyText).
    static std::optional<JournalWriter> Reopen(const std::string& path, std::string& error);

    JournalWriter(JournalWriter&&) noexcept = default;
    JournalWriter& operator=(JournalWriter&&) noexcept = default;
    ~JournalWriter();

    // A writer of the same journal for another thread, which records the steps of
    // other stages at the same time: its records go to the same file in whole lines
    // (O_APPEND), and Join takes its state back before the summary is written. A
    // branch that cannot be made has failed, and its failure joins too.
    JournalWriter Branch() const;
    void Join(JournalWriter&& branch);

    // For a reopened journal: its plan and its state as read under the lock, from
    // which the summary of the session is kept.
    void Follow(const Journal& journal);

    // Step numbers and file numbers are those of the plan given to Create, or of
    // the journal that was reopened, counted from those SetStage gives.
    void SetStage(std::size_t firstStep, std::size_t firstFile) {
        stepOffset_ = firstStep;
        fileOffset_ = firstFile;
    }
    void Done(std::size_t step);
    void Reverted(std::size_t step);
    void Inode(std::size_t file, std::uint64_t inode, const FileStamp& stamp);
    // Starts a session on a reopened journal: "resume" or "undo".
    void Begin(std::string_view session);
    void Finished(const RunCounts& counts);
    void Undone();
    void Settled();
    // Writes what is pending, the summary and "closed", and syncs. False when
    // anything of the session could not be written.
    bool Close();
    // Writes what is pending (no sync).
    bool Flush();
    // The size of the journal file now (what is pending left out).
    std::optional<std::uint64_t> FileSize() const;

    bool Failed() const { return failed_; }
    // Why the journal is incomplete, in the language of the messages.
    std::string FailureText() const;

    const std::string& Path() const { return path_; }
    // The kind of stamp the files of the run's folder are known by.
    StampKind FolderStampKind() const { return folderStamp_; }
    // File numbers of the journal for the run's file numbers (kNoFile for files
    // that do not move).
    const std::vector<std::uint32_t>& FileNumbers() const { return fileNumbers_; }

private:
    JournalWriter(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}
    void Record(std::string_view line);
    void Fail(int error);
    std::string SummaryLine() const;

    UniqueFd fd_;
    std::string path_;
    std::string pending_;
    // Bytes in the file, shared with the branches.
    std::shared_ptr<std::atomic<std::uint64_t>> written_ = std::make_shared<std::atomic<std::uint64_t>>(0);
    std::vector<std::uint32_t> fileNumbers_;
    std::size_t stepOffset_ = 0;
    std::size_t fileOffset_ = 0;
    StampKind folderStamp_ = StampKind::None;
    // What the summary is made of: the kind and the state of every step, the last
    // end, the flags.
    std::vector<std::uint8_t> kinds_;
    std::vector<std::uint8_t> done_;
    std::vector<std::uint8_t> branchedFrom_; // of a branch: done_ when it was made
    std::size_t files_ = 0;
    std::optional<std::array<std::size_t, 3>> end_;
    bool undoStarted_ = false;
    bool undone_ = false;
    bool settled_ = false;
    int error_ = 0; // of the first write that failed
    bool failed_ = false;
    bool closed_ = false;
};

} // namespace quorvel
