#include "files/validate.hpp"

#include "files/name_fold.hpp"
#include "files/name_table.hpp"
#include "files/run_messages.hpp"
#include "files/safe_rename.hpp"

#include <optional>

namespace quorvel {

namespace {

// Folded copies of names, kept one after the other; views are taken only once every
// name is in.
class FoldedStore {
public:
    void Add(std::string_view name) {
        FoldedNameInto(name, buffer_);
        text_.append(buffer_);
        ends_.push_back(text_.size());
    }
    std::string_view operator[](std::size_t i) const {
        const std::size_t start = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(text_).substr(start, ends_[i] - start);
    }

private:
    std::string text_;
    std::string buffer_;
    std::vector<std::size_t> ends_;
};

// The names of the folder and of the run as they are compared: byte for byte, or
// folded where the file system ignores case.
struct Keys {
    std::vector<std::string_view> entry;   // per listing entry
    std::vector<std::string_view> oldName; // per file
    std::vector<std::string_view> newName; // per file
    FoldedStore store;

    Keys(const std::vector<RunFile>& files, const FolderListing& listing, bool fold) {
        entry.reserve(listing.Count());
        oldName.reserve(files.size());
        newName.reserve(files.size());
        if (!fold) {
            for (std::size_t i = 0; i < listing.Count(); ++i) {
                entry.push_back(listing.Name(i));
            }
            for (const RunFile& f : files) {
                oldName.push_back(f.oldName);
                newName.push_back(f.newName);
            }
            return;
        }
        for (std::size_t i = 0; i < listing.Count(); ++i) {
            store.Add(listing.Name(i));
        }
        for (const RunFile& f : files) {
            store.Add(f.oldName);
            store.Add(f.newName);
        }
        std::size_t k = 0;
        for (std::size_t i = 0; i < listing.Count(); ++i) {
            entry.push_back(store[k++]);
        }
        for (std::size_t i = 0; i < files.size(); ++i) {
            oldName.push_back(store[k++]);
            newName.push_back(store[k++]);
        }
    }
};

void Fail(RunFile& file, Verdict verdict, std::string reason) {
    file.verdict = verdict;
    file.outcome = verdict == Verdict::Unchanged ? RenameOutcome::Unchanged : RenameOutcome::Failed;
    file.reason = std::move(reason);
}

std::uint32_t U32(std::size_t i) {
    return static_cast<std::uint32_t>(i);
}

// Whether two entries of the listing share a folded name: then the folder tells case
// apart after all (a server that does, say), and names are compared as bytes.
bool FoldedNamesCollide(const Keys& keys) {
    NameTable seen(keys.entry.size());
    for (std::size_t i = 0; i < keys.entry.size(); ++i) {
        if (seen.Insert(keys.entry[i], U32(i)) != i) {
            return true;
        }
    }
    return false;
}

// Checks of each file on its own, in selection order.
void CheckEachFile(std::vector<RunFile>& files, const FolderListing& listing) {
    NameTable entries(listing.Count());
    for (std::size_t i = 0; i < listing.Count(); ++i) {
        entries.Insert(listing.Name(i), U32(i));
    }
    NameTable firstOfEntry(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        RunFile& f = files[i];
        if (f.verdict != Verdict::Ready) {
            continue;
        }
        const std::uint32_t e = entries.Find(f.oldName);
        if (e == NameTable::kAbsent) {
            Fail(f, Verdict::SourceMissing, std::string(kGoneText));
            continue;
        }
        f.inode = listing.Inode(e);
        f.type = listing.Type(e);
        if (f.type == DT_DIR) {
            Fail(f, Verdict::SourceMissing, std::string(kNowAFolderText));
            continue;
        }
        const std::uint32_t first = firstOfEntry.Insert(f.oldName, U32(i));
        if (first != i) {
            const bool bothStay = files[first].verdict == Verdict::Unchanged && f.newName == f.oldName;
            if (bothStay) {
                Fail(f, Verdict::Unchanged, {});
            } else {
                Fail(f, Verdict::ListedTwice, std::string(kListedTwiceText));
            }
            continue;
        }
        if (f.newName == f.oldName) {
            Fail(f, Verdict::Unchanged, {});
        } else if (auto bad = BadNameReason(f.newName)) {
            Fail(f, Verdict::BadName, std::move(*bad));
        }
    }
}

// Where the new names go: duplicates, names held by entries that stay, and the files
// that must move first.
void CheckTargets(std::vector<RunFile>& files, const FolderListing& listing, const Keys& keys,
                  bool ignoresCase) {
    NameTable movers(files.size());  // old name -> ready file
    NameTable targets(files.size()); // new name -> the ready file that keeps it
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].verdict == Verdict::Ready) {
            movers.Insert(keys.oldName[i], U32(i));
        }
    }
    NameTable entries(listing.Count());
    for (std::size_t i = 0; i < listing.Count(); ++i) {
        entries.Insert(keys.entry[i], U32(i));
    }
    std::vector<std::uint32_t> failed; // ready files that fail here: their names stay
    for (std::size_t i = 0; i < files.size(); ++i) {
        RunFile& f = files[i];
        if (f.verdict != Verdict::Ready) {
            continue;
        }
        const std::uint32_t keeper = targets.Insert(keys.newName[i], U32(i));
        if (keeper != i) {
            Fail(f, Verdict::DuplicateTarget, DuplicateTargetText(files[keeper].oldName));
            failed.push_back(U32(i));
            continue;
        }
        const std::uint32_t mover = movers.Find(keys.newName[i]);
        if (mover != NameTable::kAbsent && files[mover].verdict == Verdict::Ready) {
            f.waitsFor = mover;
            continue;
        }
        if (const std::uint32_t e = entries.Find(keys.newName[i]); e != NameTable::kAbsent) {
            const bool sameBytes = !ignoresCase || listing.Name(e) == f.newName;
            Fail(f, Verdict::TargetHeld,
                 sameBytes ? std::string(kTargetHeldText) : TargetHeldIgnoringCaseText(listing.Name(e)));
            failed.push_back(U32(i));
        }
    }
    // A file that keeps its name holds it: the file that was to take that name fails,
    // and so on down the chain.
    while (!failed.empty()) {
        const std::uint32_t x = failed.back();
        failed.pop_back();
        const std::uint32_t y = targets.Find(keys.oldName[x]);
        if (y != NameTable::kAbsent && y != x && files[y].verdict == Verdict::Ready &&
            files[y].waitsFor == x) {
            files[y].waitsFor = kNoFile;
            Fail(files[y], Verdict::TargetHeld, std::string(kTargetHeldText));
            failed.push_back(y);
        }
    }
}

// Notes for new names that only case or composition tell from another new name or
// from a name that stays, on a folder that tells case apart.
void NoteLookalikes(std::vector<RunFile>& files, const FolderListing& listing) {
    NameTable movers(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].verdict == Verdict::Ready) {
            movers.Insert(files[i].oldName, U32(i));
        }
    }
    // Folded names: first the entries that stay, then the new names.
    FoldedStore store;
    std::vector<std::string_view> names; // the original of each folded name
    for (std::size_t i = 0; i < listing.Count(); ++i) {
        if (movers.Find(listing.Name(i)) == NameTable::kAbsent) {
            store.Add(listing.Name(i));
            names.push_back(listing.Name(i));
        }
    }
    const std::size_t staying = names.size();
    std::vector<std::uint32_t> fileOf;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].verdict == Verdict::Ready) {
            store.Add(files[i].newName);
            names.push_back(files[i].newName);
            fileOf.push_back(U32(i));
        }
    }
    NameTable folded(names.size());
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::uint32_t other = folded.Insert(store[k], U32(k));
        if (k < staying || other == k || names[other] == names[k]) {
            continue;
        }
        RunFile& f = files[fileOf[k - staying]];
        if (f.note.empty()) {
            f.note = LookalikeText(names[other]);
        }
        if (other >= staying) {
            RunFile& g = files[fileOf[other - staying]];
            if (g.note.empty()) {
                g.note = LookalikeText(names[k]);
            }
        }
    }
}

} // namespace

void Validate(std::vector<RunFile>& files, const FolderListing& listing, bool ignoresCase) {
    CheckEachFile(files, listing);
    std::optional<Keys> keys;
    keys.emplace(files, listing, ignoresCase);
    if (ignoresCase && FoldedNamesCollide(*keys)) {
        ignoresCase = false;
        keys.emplace(files, listing, false);
    }
    CheckTargets(files, listing, *keys, ignoresCase);
    keys.reset();
    if (!ignoresCase) {
        NoteLookalikes(files, listing);
    }
}

} // namespace quorvel
