#include "files/new_names.hpp"

#include "engine/codec.hpp"
#include "engine/compiled_script.hpp"
#include "engine/errors.hpp"

namespace quorvel {

namespace {

// `file` as a fresh RunFile of record `index`, its strings keeping their memory.
void Reset(RunFile& file, std::size_t index, const std::string& oldName) {
    file.index = index;
    file.oldName.assign(oldName);
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
    if (run.capacity() < selection.size()) {
        run.reserve(selection.size());
    }
    std::size_t count = 0;
    Text name;
    Text newName;
    try {
        for (const std::size_t index : selection) {
            if (index >= files.Count()) {
                continue;
            }
            if (count == run.size()) {
                run.emplace_back();
            }
            RunFile& file = run[count];
            Reset(file, index, files.Items(index).NameBytes());
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
