#include "files/new_names.hpp"

#include "engine/codec.hpp"
#include "engine/compiled_script.hpp"
#include "engine/errors.hpp"

namespace quorvel {

std::vector<RunFile> NewNames(const ScriptLines& script, const TListFiles& files,
                              std::span<const std::size_t> selection, NumberCounter& counter) {
    counter = 0;
    const CompiledScript compiled(script);
    std::vector<RunFile> run;
    run.reserve(selection.size());
    Text name;
    Text newName;
    for (const std::size_t index : selection) {
        if (index >= files.Count()) {
            continue;
        }
        const TProjectFile& record = files.Items(index);
        RunFile file;
        file.index = index;
        file.oldName = record.NameBytes();
        name.clear();
        DecodeNameInto(file.oldName, name);
        const bool first = run.empty();
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
        run.push_back(std::move(file));
    }
    return run;
}

} // namespace quorvel
