#include "files/run/validate.hpp"

#include "files/listing/listing_index.hpp"
#include "files/run/run_messages.hpp"
#include "files/run/safe_rename.hpp"
#include "files/tables/index_table.hpp"
#include "files/tables/loose_keys.hpp"

#include <algorithm>
#include <unordered_map>

namespace quorvel {

namespace {

constexpr std::uint32_t kNone = kNoIndex; // no entry, no file

void Fail(RunFile& file, Verdict verdict, std::string reason) {
    file.verdict = verdict;
    file.outcome = verdict == Verdict::Unchanged ? RenameOutcome::Unchanged : RenameOutcome::Failed;
    file.reason = std::move(reason);
}

std::uint32_t U32(std::size_t i) {
    return static_cast<std::uint32_t>(i);
}

// The entry of the listing named `name`: the one at `hint` when it has that name.
std::uint32_t EntryNamed(std::string_view name, std::uint32_t hint, const ListingIndex& entries) {
    const FolderListing& listing = entries.Listing();
    if (hint < listing.Count() && listing.Name(hint) == name) {
        return hint;
    }
    return entries.Find(name);
}

// Checks of each file on its own, in selection order. `entryOf` receives the
// listing entry of every file found in the folder.
void CheckEachFile(std::span<RunFile> files, const ListingIndex& entries,
                   LargeVector<std::uint32_t>& entryOf) {
    const FolderListing& listing = entries.Listing();
    // The entries met so far, one bit each (small enough to stay in the cache); the
    // files whose entry came earlier in the selection are settled after the others.
    std::vector<std::uint64_t> met((listing.Count() + 63) / 64, 0);
    std::vector<std::uint32_t> again;
    constexpr std::size_t kAhead = 16;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i + 2 * kAhead < files.size()) {
            listing.PrefetchEntry(files[i + 2 * kAhead].entry);
        }
        if (i + kAhead < files.size()) {
            listing.PrefetchName(files[i + kAhead].entry);
        }
        RunFile& f = files[i];
        if (f.verdict != Verdict::Ready) {
            continue;
        }
        const std::uint32_t e = EntryNamed(f.oldName, f.entry, entries);
        if (e == kNone) {
            Fail(f, Verdict::SourceMissing, std::string(kGoneText));
            continue;
        }
        f.entry = e;
        f.inode = listing.Inode(e);
        f.type = listing.Type(e);
        if (f.type == DT_DIR && !f.folder) {
            Fail(f, Verdict::SourceMissing, std::string(kNowAFolderText));
            continue;
        }
        entryOf[i] = e;
        std::uint64_t& word = met[e / 64];
        const std::uint64_t bit = std::uint64_t{1} << (e % 64);
        if ((word & bit) != 0) {
            again.push_back(U32(i));
            continue;
        }
        word |= bit;
        if (f.newName == f.oldName) {
            Fail(f, Verdict::Unchanged, {});
        } else if (auto bad = BadNameReason(f.newName)) {
            Fail(f, Verdict::BadName, std::move(*bad));
        }
    }
    if (again.empty()) {
        return;
    }
    // An entry selected twice moves once: the later copies stay as they are.
    std::unordered_map<std::uint32_t, std::uint32_t> firstOfEntry;
    for (const std::uint32_t i : again) {
        firstOfEntry.emplace(entryOf[i], kNone);
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (entryOf[i] != kNone) {
            if (const auto it = firstOfEntry.find(entryOf[i]);
                it != firstOfEntry.end() && it->second == kNone) {
                it->second = U32(i);
            }
        }
    }
    for (const std::uint32_t i : again) {
        RunFile& f = files[i];
        const bool bothStay =
            files[firstOfEntry.at(entryOf[i])].verdict == Verdict::Unchanged && f.newName == f.oldName;
        if (bothStay) {
            Fail(f, Verdict::Unchanged, {});
        } else {
            Fail(f, Verdict::ListedTwice, std::string(kListedTwiceText));
        }
    }
}

// Where the new names go: duplicates, names held by entries that stay, and the files
// that must move first. `newKey(i)` is the new name of file i as compared, and
// `targets` finds the entry of the listing under such a key (Find, Prefetch).
template <typename Keys, typename NewKey, typename Targets>
void CheckTargets(std::span<RunFile> files, const FolderListing& listing,
                  const LargeVector<std::uint32_t>& entryOf, const NewKey& newKey, const Targets& targets,
                  bool ignoresCase) {
    LargeVector<std::uint32_t> moverOf(listing.Count(), kNone);  // entry -> the ready file that leaves it
    LargeVector<std::uint32_t> keeperOf(listing.Count(), kNone); // entry's name -> the ready file taking it
    LargeVector<std::uint32_t> targetEntry(files.size(), kNone); // file -> the entry its new name names
    LargeVector<std::uint64_t> hashOf(files.size(), 0);          // file -> Keys::Hash of its new name
    std::size_t elsewhere = 0;                                   // ready files taking a name no entry has
    const auto ready = [&](std::size_t i) { return files[i].verdict == Verdict::Ready; };
    Pipelined(
        files.size(), [&](std::size_t i) { return ready(i) ? Keys::Hash(newKey(i)) : 0; },
        [&](std::uint64_t hash) { targets.Prefetch(hash); },
        [&](std::size_t i, std::uint64_t hash) {
            if (ready(i)) {
                hashOf[i] = hash;
                moverOf[entryOf[i]] = U32(i);
                targetEntry[i] = targets.Find(newKey(i), hash);
                elsewhere += targetEntry[i] == kNone ? 1 : 0;
            }
        });
    const auto keyOf = [&](std::uint32_t i) { return newKey(i); };
    IndexTable<decltype(keyOf), Keys> fresh(keyOf, elsewhere); // new name -> the file taking it
    std::vector<std::uint32_t> failed;                         // ready files that fail here: their names stay
    Pipelined(
        files.size(), [&](std::size_t i) { return hashOf[i]; },
        [&](std::uint64_t hash) { fresh.Prefetch(hash); },
        [&](std::size_t i, std::uint64_t hash) {
            RunFile& f = files[i];
            if (f.verdict != Verdict::Ready) {
                return;
            }
            const std::uint32_t e = targetEntry[i];
            std::uint32_t keeper = U32(i);
            if (e == kNone) {
                keeper = fresh.Insert(U32(i), hash);
            } else if (keeperOf[e] == kNone) {
                keeperOf[e] = U32(i);
            } else {
                keeper = keeperOf[e];
            }
            if (keeper != i) {
                Fail(f, Verdict::DuplicateTarget, DuplicateTargetText(files[keeper].oldName));
                failed.push_back(U32(i));
                return;
            }
            if (e == kNone) {
                return;
            }
            const std::uint32_t mover = moverOf[e];
            if (mover != kNone && files[mover].verdict == Verdict::Ready) {
                f.waitsFor = mover;
                return;
            }
            const bool sameBytes = !ignoresCase || listing.Name(e) == f.newName;
            Fail(f, Verdict::TargetHeld,
                 sameBytes ? std::string(kTargetHeldText) : TargetHeldIgnoringCaseText(listing.Name(e)));
            failed.push_back(U32(i));
        });
    // A file that keeps its name holds it: the file that was to take that name fails,
    // and so on down the chain.
    while (!failed.empty()) {
        const std::uint32_t x = failed.back();
        failed.pop_back();
        const std::uint32_t y = keeperOf[entryOf[x]];
        if (y != kNone && y != x && files[y].verdict == Verdict::Ready && files[y].waitsFor == x) {
            files[y].waitsFor = kNoFile;
            Fail(files[y], Verdict::TargetHeld, std::string(kTargetHeldText));
            failed.push_back(y);
        }
    }
}

// Notes for new names that only case or composition tell from another new name or
// from a name that stays, on a folder that tells case apart.
void NoteLookalikes(std::span<RunFile> files, const FolderListing& listing,
                    const LargeVector<std::uint32_t>& entryOf) {
    std::vector<bool> moving(listing.Count(), false);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].verdict == Verdict::Ready) {
            moving[entryOf[i]] = true;
        }
    }
    // The names compared: first the entries that stay, then the new names; `origin`
    // holds the entry, then the file, of each.
    LargeVector<std::uint32_t> origin;
    origin.reserve(listing.Count() + files.size());
    for (std::size_t e = 0; e < listing.Count(); ++e) {
        if (!moving[e]) {
            origin.push_back(U32(e));
        }
    }
    const std::size_t staying = origin.size();
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].verdict == Verdict::Ready) {
            origin.push_back(U32(i));
        }
    }
    const auto nameAt = [&](std::size_t k) {
        return k < staying ? listing.Name(origin[k]) : std::string_view(files[origin[k]].newName);
    };
    const LooseNames loose(nameAt, origin.size());
    const auto keyOf = [&](std::uint32_t k) { return loose(k); };
    IndexTable<decltype(keyOf), LooseKeys> folded(keyOf, origin.size());
    Pipelined(
        origin.size(), [&](std::size_t k) { return LooseKeys::Hash(loose(U32(k))); },
        [&](std::uint64_t hash) { folded.Prefetch(hash); },
        [&](std::size_t k, std::uint64_t hash) {
            const std::uint32_t other = folded.Insert(U32(k), hash);
            if (k < staying || other == k || nameAt(other) == nameAt(k)) {
                return;
            }
            RunFile& f = files[origin[k]];
            if (f.note.empty()) {
                f.note = LookalikeText(nameAt(other));
            }
            if (other >= staying) {
                RunFile& g = files[origin[other]];
                if (g.note.empty()) {
                    g.note = LookalikeText(nameAt(k));
                }
            }
        });
}

} // namespace

void Validate(std::span<RunFile> files, const FolderListing& listing, bool ignoresCase) {
    const ListingIndex entries(listing);
    Validate(files, entries, ignoresCase);
}

void Validate(std::span<RunFile> files, const ListingIndex& entries, bool ignoresCase) {
    const FolderListing& listing = entries.Listing();
    LargeVector<std::uint32_t> entryOf(files.size(), kNone);
    CheckEachFile(files, entries, entryOf);
    if (ignoresCase) {
        // The entries under their folded names. When two of them share one, the
        // folder tells case apart after all (a server that does, say), and names are
        // compared as bytes.
        const std::size_t n = listing.Count();
        const auto nameAt = [&](std::size_t k) {
            return k < n ? listing.Name(k) : std::string_view(files[k - n].newName);
        };
        const LooseNames loose(nameAt, n + files.size());
        const auto keyOf = [&](std::uint32_t k) { return loose(k); };
        IndexTable<decltype(keyOf), LooseKeys> foldedEntries(keyOf, n);
        bool collide = false;
        for (std::size_t e = 0; e < n && !collide; ++e) {
            collide = foldedEntries.Insert(U32(e)) != e;
        }
        if (!collide) {
            CheckTargets<LooseKeys>(
                files, listing, entryOf, [&](std::size_t i) { return loose(U32(n + i)); }, foldedEntries,
                true);
            return;
        }
    }
    CheckTargets<ByteKeys>(
        files, listing, entryOf, [&](std::size_t i) { return std::string_view(files[i].newName); }, entries,
        false);
    NoteLookalikes(files, listing, entryOf);
}

} // namespace quorvel
