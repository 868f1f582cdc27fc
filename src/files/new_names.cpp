#include "files/new_names.hpp"

#include "engine/codec.hpp"
#include "engine/compiled_script.hpp"
#include "engine/errors.hpp"
#include "files/huge_pages.hpp"

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
    file.verdict = Verdict::Ready;
    file.outcome = RenameOutcome::Unchanged;
    file.waitsFor = kNoFile;
    file.reason.clear();
    file.note.clear();
}

} // namespace

void NewNamesInto(const ScriptLines& script, const TListFiles& files, std::span<const std::size_t> selection,
                  NumberCounter& counter, std::vector<RunFile>& run) {
    counter = 0;
    const CompiledScript compiled(script);
    ReserveLarge(run, selection.size());
    std::size_t count = 0;
    Text name;
    Text newName;
    try {
        for (std::size_t s = 0; s < selection.size(); ++s) {
            const std::size_t index = selection[s];
            if (index >= files.Count()) {
                continue;
            }
            // The names of the records lie in memory in the order of their folder:
            // ask for the ones coming next before they are needed.
            constexpr std::size_t kAhead = 8;
            if (s + kAhead < selection.size() && selection[s + kAhead] < files.Count()) {
                __builtin_prefetch(files.Items(selection[s + kAhead]).NameBytes().data());
            }
            if (count == run.size()) {
                run.emplace_back();
            }
            RunFile& file = run[count];
            Reset(file, index, files.Items(index));
            name.clear();
            DecodeNameInto(file.oldName, name);
            const bool first = count == 0;
            ++count;
            const NumberCounter before = counter;
            try {
                compiled.ApplyInto(name, first, counter, newName);
                EncodeNameInto(newName, file.newName);
            } catch (const NameTooLongError& e) {
                counter = before;
                compiled.AdvanceNumbering(first, counter);
                file.verdict = Verdict::EngineFailure;
                file.outcome = RenameOutcome::Failed;
                file.reason = e.what();
            }
        }
    } catch (...) {
        run.clear();
        throw;
    }
    run.resize(count);
}

std::vector<RunFile> NewNames(const ScriptLines& script, const TListFiles& files,
                              std::span<const std::size_t> selection, NumberCounter& counter) {
    std::vector<RunFile> run;
    NewNamesInto(script, files, selection, counter, run);
    return run;
}

} // namespace quorvel
