#include "files/run/new_names.hpp"

#include "engine/codec.hpp"
#include "engine/compiled_script.hpp"
#include "engine/errors.hpp"
#include "files/tables/huge_pages.hpp"
#include "files/text/error_texts.hpp"
#include "files/text/message_language.hpp"

#include <algorithm>
#include <exception>
#include <iterator>
#include <thread>
#include <unordered_map>

namespace quorvel {

namespace {

// `file` as a fresh RunFile of record `index`, its strings keeping their memory.
void Reset(RunFile& file, std::size_t index, const TProjectFile& record) {
    file.index = index;
    file.oldName.assign(record.NameBytes());
    file.entry = record.ListingEntry();
    file.newName.clear();
    file.temporary.clear();
    file.inode = 0;
    file.type = DT_UNKNOWN;
    file.folder = record.IsFolder();
    file.verdict = Verdict::Ready;
    file.outcome = RenameOutcome::Unchanged;
    file.waitsFor = kNoFile;
    file.reason.clear();
    file.note.clear();
}

// `file` failed on `error`: the numbering goes on as if its name had been made.
void FailFile(const CompiledScript& compiled, bool first, NumberCounter before, NumberCounter& counter,
              const EngineError& error, RunFile& file, Verdict verdict = Verdict::EngineFailure) {
    counter = before;
    compiled.AdvanceNumbering(first, counter);
    file.verdict = verdict;
    file.outcome = RenameOutcome::Failed;
    file.reason = EngineErrorText(error);
}

// The place of each chosen file among the chosen files of its folder; empty when
// they are all in one folder, or when no template asks for it: file k's place is k.
std::vector<std::size_t> PlacesInFolder(const CompiledScript& compiled, const TListFiles& files,
                                        std::span<const std::size_t> chosen) {
    std::vector<std::size_t> places;
    if (files.OnlyFolder() || !compiled.Needs().placeInFolder) {
        return places;
    }
    std::unordered_map<TextView, std::size_t> counts;
    places.reserve(chosen.size());
    for (const std::size_t index : chosen) {
        places.push_back(counts[files.Items(index).Folder()]++);
    }
    return places;
}

// Names files [from, to) of `run`, file k being record `chosen[k]`; `counter` is the
// numbering before file `from` and after file `to - 1` on return.
void NameRange(const CompiledScript& compiled, const TListFiles& files, std::span<const std::size_t> chosen,
               std::span<const std::size_t> placesInFolder, std::span<const FileFacts> facts,
               std::vector<RunFile>& run, std::size_t from, std::size_t to, NumberCounter& counter) {
    const DateNames& dateNames = DateNamesOfMessages();
    Text name;
    Text newName;
    // A selection can come in any order: ask for the names coming next before they
    // are needed.
    constexpr std::size_t kAhead = 8;
    for (std::size_t k = from; k < to; ++k) {
        if (k + kAhead < to) {
            __builtin_prefetch(files.Items(chosen[k + kAhead]).NameBytes().data());
        }
        RunFile& file = run[k];
        const TProjectFile& record = files.Items(chosen[k]);
        Reset(file, chosen[k], record);
        name.clear();
        DecodeNameInto(file.oldName, name);
        const bool first = k == 0;
        const NumberCounter before = counter;
        const FileContext context{.facts = chosen[k] < facts.size() ? facts[chosen[k]] : NoFacts(),
                                  .folder = FolderName(record.Folder()),
                                  .place = k,
                                  .placeInFolder = placesInFolder.empty() ? k : placesInFolder[k],
                                  .dateNames = dateNames};
        try {
            compiled.ApplyInto(name, first, counter, context, newName);
            EncodeNameInto(newName, file.newName);
        } catch (const NameTooLongError& e) {
            FailFile(compiled, first, before, counter, e, file);
        } catch (const PatternTooCostlyError& e) {
            FailFile(compiled, first, before, counter, e, file);
        } catch (const MissingValueError& e) {
            FailFile(compiled, first, before, counter, e, file, Verdict::ValueMissing);
        }
    }
}

// From this many files on, the second half of the names is made on a second thread.
constexpr std::size_t kTwoThreadsFrom = 50000;

} // namespace

void NewNamesInto(const ScriptLines& script, const TListFiles& files, std::span<const std::size_t> selection,
                  NumberCounter& counter, std::vector<RunFile>& run, std::span<const FileFacts> facts) {
    counter = 0;
    const CompiledScript compiled(script);
    std::vector<std::size_t> inList;
    std::span<const std::size_t> chosen = selection;
    if (std::any_of(selection.begin(), selection.end(), [&](std::size_t i) { return i >= files.Count(); })) {
        std::copy_if(selection.begin(), selection.end(), std::back_inserter(inList),
                     [&](std::size_t i) { return i < files.Count(); });
        chosen = inList;
    }
    const std::size_t count = chosen.size();
    const std::vector<std::size_t> placesInFolder = PlacesInFolder(compiled, files, chosen);
    try {
        ReserveLarge(run, count);
        run.resize(count);
        if (count < kTwoThreadsFrom || std::thread::hardware_concurrency() < 2) {
            NameRange(compiled, files, chosen, placesInFolder, facts, run, 0, count, counter);
            return;
        }
        // The numbering is known ahead: every file moves it on the same way, whatever
        // its name (a bad start value is raised here, with the first file).
        const std::size_t half = count / 2;
        NumberCounter second = 0;
        for (std::size_t k = 0; k < half; ++k) {
            compiled.AdvanceNumbering(k == 0, second);
        }
        std::exception_ptr failed;
        std::thread other([&] {
            try {
                NameRange(compiled, files, chosen, placesInFolder, facts, run, half, count, second);
            } catch (...) {
                failed = std::current_exception();
            }
        });
        try {
            NameRange(compiled, files, chosen, placesInFolder, facts, run, 0, half, counter);
        } catch (...) {
            other.join();
            throw;
        }
        other.join();
        if (failed) {
            std::rethrow_exception(failed);
        }
        counter = second;
    } catch (...) {
        run.clear();
        throw;
    }
}

std::vector<RunFile> NewNames(const ScriptLines& script, const TListFiles& files,
                              std::span<const std::size_t> selection, NumberCounter& counter,
                              std::span<const FileFacts> facts) {
    std::vector<RunFile> run;
    NewNamesInto(script, files, selection, counter, run, facts);
    return run;
}

std::vector<RunFile> GivenNames(const TListFiles& files, std::span<const std::size_t> selection,
                                std::span<const std::string> newNames) {
    std::vector<RunFile> run;
    const std::size_t count = std::min(selection.size(), newNames.size());
    run.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        if (selection[k] >= files.Count()) {
            continue;
        }
        RunFile& file = run.emplace_back();
        Reset(file, selection[k], files.Items(selection[k]));
        file.newName = newNames[k];
    }
    return run;
}

} // namespace quorvel
