#include "files/run/rename_steps.hpp"

#include "files/run/run_messages.hpp"

#include <algorithm>
#include <functional>
#include <utility>

namespace quorvel {

FolderView::FolderView(const FolderListing& listing, StampCheck stamps)
    : listing_(listing), stamps_(stamps), names_(NameOf{this}, listing.Count()) {
    inodes_.reserve(listing.Count());
    for (std::size_t i = 0; i < listing.Count(); ++i) {
        names_.Insert(static_cast<std::uint32_t>(i));
        inodes_.emplace_back(listing.Inode(i));
    }
}

std::optional<std::uint64_t> FolderView::InodeOf(std::string_view name) const {
    const std::uint32_t i = names_.Find(name);
    return i == kNoIndex ? std::nullopt : inodes_[i];
}

bool FolderView::Holds(std::string_view name, std::uint64_t inode) const {
    const auto held = InodeOf(name);
    return held && (inode == 0 || *held == inode);
}

bool FolderView::Has(std::string_view name) const {
    return InodeOf(name).has_value();
}

bool FolderView::SameFile(const std::string& name, std::size_t file, std::uint64_t inode) const {
    if (file >= stamps_.stamps.size() || !stamps_.stamps[file].Known()) {
        return true;
    }
    const FileStamp& recorded = stamps_.stamps[file];
    const auto now = IdentifyEntry(stamps_.dirfd, name, recorded.kind);
    return now && now->inode == inode && SameStamp(recorded, now->stamp);
}

void FolderView::Moved(const std::string& from, const std::string& to) {
    std::optional<std::uint64_t> inode;
    if (const std::uint32_t i = names_.Find(from); i != kNoIndex) {
        inode = std::exchange(inodes_[i], std::nullopt);
    }
    if (const std::uint32_t i = names_.Find(to); i != kNoIndex) {
        inodes_[i] = inode;
    } else if (inode) {
        added_.push_back(to);
        inodes_.push_back(inode);
        names_.Insert(static_cast<std::uint32_t>(inodes_.size() - 1));
    }
}

namespace {

// The renames of one session, with what they need to say why a file failed.
class Performer {
public:
    Performer(std::span<RunFile> files, const std::vector<Step>& steps, std::vector<StepState>& state,
              Renamer& renamer, JournalWriter& journal,
              std::optional<std::reference_wrapper<FolderView>> view, const ProgressHook& progress)
        : files_(files), steps_(steps), state_(state), renamer_(renamer), journal_(journal), view_(view),
          progress_(progress) {}

    // Whoever started the session asked to stop.
    bool Stopped() const { return stopped_; }

    // Step `s` forwards (or backwards): 0, or the reason it failed.
    std::optional<std::string> Move(std::size_t s, bool back) {
        const Step& step = steps_[s];
        const std::string& from = back ? NameAfter(step) : NameBefore(step);
        const std::string& to = back ? NameBefore(step) : NameAfter(step);
        if (view_) {
            FolderView& view = view_->get();
            if (!view.Holds(from, files_[step.file].inode)) {
                return std::string(view.Has(from) ? kNotTheSameFileText : kGoneText);
            }
            if (!view.SameFile(from, step.file, files_[step.file].inode)) {
                return std::string(kNotTheSameFileText);
            }
        }
        if (const RenameResult result = renamer_.Rename(from, to); result.error != 0) {
            return RenameFailureText(result);
        }
        state_[s] = back ? StepState::NotDone : StepState::Done;
        back ? journal_.Reverted(s) : journal_.Done(s);
        if (view_) {
            view_->get().Moved(from, to);
        }
        return std::nullopt;
    }

    // StepFrom and StepTo, as the strings of the file (no copy).
    const std::string& NameBefore(const Step& step) const {
        const RunFile& f = files_[step.file];
        return step.kind == StepKind::FromTemporary ? f.temporary.str() : f.oldName;
    }
    const std::string& NameAfter(const Step& step) const {
        const RunFile& f = files_[step.file];
        return step.kind == StepKind::ToTemporary ? f.temporary.str() : f.newName;
    }

    void Fail(std::uint32_t file, std::string reason) {
        if (files_[file].reason.empty()) {
            files_[file].reason = std::move(reason);
        }
    }

    // Steps i..j form a cycle: all of them, or none.
    void Cycle(std::size_t i, std::size_t j) {
        for (std::size_t k = i; k <= j; ++k) {
            if (state_[k] == StepState::Done) {
                continue;
            }
            const auto why = Move(k, false);
            if (!why) {
                continue;
            }
            const std::uint32_t culprit = steps_[k].file;
            std::vector<std::pair<std::uint32_t, std::string>> stuck;
            for (std::size_t m = k; m-- > i;) {
                if (state_[m] == StepState::Done && Move(m, true)) {
                    stuck.emplace_back(steps_[m].file, std::string(StepTo(steps_[m], files_)));
                }
            }
            for (std::size_t m = i; m <= j; ++m) {
                const std::uint32_t file = steps_[m].file;
                Fail(file, file == culprit ? *why : CycleText(files_[culprit].oldName, *why));
            }
            for (const auto& [file, name] : stuck) {
                files_[file].reason += " ; " + LeftUnderText(name);
            }
            return;
        }
    }

    void Forward() {
        Expect(StepState::NotDone);
        for (std::size_t i = 0; i < steps_.size(); ++i) {
            const Step& step = steps_[i];
            if (step.kind == StepKind::ToTemporary) {
                std::size_t j = i + 1;
                while (j < steps_.size() &&
                       !(steps_[j].kind == StepKind::FromTemporary && steps_[j].file == step.file)) {
                    ++j;
                }
                if (j < steps_.size()) {
                    const std::size_t left = Left(i, j);
                    if (left > 0) {
                        if (Stop()) {
                            break;
                        }
                        Cycle(i, j);
                        worked_ += left;
                    }
                    i = j;
                    continue;
                }
            }
            if (state_[i] == StepState::Done) {
                continue;
            }
            if (Stop()) {
                break;
            }
            if (step.after >= 0 && state_[static_cast<std::size_t>(step.after)] != StepState::Done) {
                Fail(step.file,
                     WaitedText(files_[steps_[static_cast<std::size_t>(step.after)].file].oldName));
            } else if (auto why = Move(i, false)) {
                Fail(step.file, std::move(*why));
            }
            ++worked_;
        }
    }

    // Newest first. A cycle is walked back whole before the session may stop, so
    // that no file is left under its temporary name.
    void Backward() {
        Expect(StepState::Done);
        bool inCycle = false;
        for (std::size_t s = steps_.size(); s-- > 0;) {
            const StepKind kind = steps_[s].kind;
            if (state_[s] == StepState::Done) {
                if (!inCycle && Stop()) {
                    break;
                }
                if (auto why = Move(s, true)) {
                    Fail(steps_[s].file, std::move(*why));
                }
                ++worked_;
            }
            inCycle = kind == StepKind::FromTemporary || (inCycle && kind != StepKind::ToTemporary);
        }
    }

private:
    // The steps of the session are those in state `from` now.
    void Expect(StepState from) {
        work_ = static_cast<std::size_t>(std::count(state_.begin(), state_.end(), from));
        worked_ = 0;
    }
    // The steps i..j not done yet.
    std::size_t Left(std::size_t i, std::size_t j) const {
        return static_cast<std::size_t>(std::count(state_.begin() + static_cast<std::ptrdiff_t>(i),
                                                   state_.begin() + static_cast<std::ptrdiff_t>(j) + 1,
                                                   StepState::NotDone));
    }
    // Tells how far the session is, before its next step; true when it is to stop.
    bool Stop() {
        if (worked_ > 0 && progress_ && !progress_(worked_, work_)) {
            stopped_ = true;
        }
        return stopped_;
    }

    std::span<RunFile> files_;
    const std::vector<Step>& steps_;
    std::vector<StepState>& state_;
    Renamer& renamer_;
    JournalWriter& journal_;
    std::optional<std::reference_wrapper<FolderView>>
        view_; // what the steps are checked against, if anything
    const ProgressHook& progress_;
    std::size_t work_ = 0;   // the steps the session has to go through
    std::size_t worked_ = 0; // those it went through
    bool stopped_ = false;
};

// The steps forwards, and the outcome of each file.
bool Forward(std::span<RunFile> files, const std::vector<Step>& steps, std::vector<StepState>& state,
             Performer&& performer) {
    performer.Forward();
    for (std::size_t s = 0; s < steps.size(); ++s) {
        if (steps[s].kind == StepKind::ToTemporary) {
            continue;
        }
        RunFile& f = files[steps[s].file];
        if (state[s] == StepState::Done) {
            f.outcome = RenameOutcome::Renamed;
        } else if (performer.Stopped() && f.reason.empty()) {
            f.outcome = RenameOutcome::Unchanged; // not reached
            f.reason = std::string(kStoppedText);
        } else {
            f.outcome = RenameOutcome::Failed;
        }
    }
    return performer.Stopped();
}

} // namespace

bool RenameSteps(std::span<RunFile> files, const std::vector<Step>& steps, std::vector<StepState>& state,
                 Renamer& renamer, JournalWriter& journal, const ProgressHook& progress) {
    return Forward(files, steps, state,
                   Performer(files, steps, state, renamer, journal, std::nullopt, progress));
}

bool RenameSteps(std::span<RunFile> files, const std::vector<Step>& steps, std::vector<StepState>& state,
                 Renamer& renamer, JournalWriter& journal, FolderView& view, const ProgressHook& progress) {
    return Forward(files, steps, state, Performer(files, steps, state, renamer, journal, view, progress));
}

bool UndoSteps(std::span<RunFile> files, const std::vector<Step>& steps, std::vector<StepState>& state,
               Renamer& renamer, JournalWriter& journal, FolderView& view, const ProgressHook& progress) {
    std::vector<bool> touched(files.size(), false);
    for (std::size_t s = 0; s < steps.size(); ++s) {
        if (state[s] == StepState::Done) {
            touched[steps[s].file] = true;
        }
    }
    Performer performer(files, steps, state, renamer, journal, view, progress);
    performer.Backward();
    for (RunFile& f : files) {
        f.outcome = RenameOutcome::Unchanged;
    }
    for (std::size_t s = 0; s < steps.size(); ++s) {
        RunFile& f = files[steps[s].file];
        if (touched[steps[s].file]) {
            const bool notReached =
                performer.Stopped() && (f.reason.empty() || f.reason == std::string(kStoppedText));
            if (state[s] == StepState::Done && notReached) {
                f.reason = std::string(kStoppedText); // it stays renamed
            } else if (state[s] == StepState::Done) {
                f.outcome = RenameOutcome::Failed;
            } else if (f.outcome != RenameOutcome::Failed) {
                f.outcome = RenameOutcome::Renamed;
            }
        }
    }
    return performer.Stopped();
}

void PutBack(std::span<RunFile> files, const std::vector<Step>& steps, std::vector<StepState>& state,
             const std::vector<std::uint32_t>& which, Renamer& renamer, JournalWriter& journal) {
    std::vector<bool> back(files.size(), false);
    for (const std::uint32_t file : which) {
        RunFile& f = files[file];
        const int error = renamer.Rename(f.newName, f.oldName).error;
        if (error == 0) {
            back[file] = true;
            f.reason += kPutBackText;
        } else {
            f.reason += NotPutBackText(RenameErrorText(error));
        }
    }
    for (std::size_t s = 0; s < steps.size(); ++s) {
        if (back[steps[s].file] && state[s] == StepState::Done) {
            state[s] = StepState::NotDone;
            journal.Reverted(s);
        }
    }
}

} // namespace quorvel
