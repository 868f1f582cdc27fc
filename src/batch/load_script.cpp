#include "batch/load_script.hpp"

#include "batch/exit_status.hpp"
#include "batch/output.hpp"
#include "engine/compiled_script.hpp"
#include "engine/script_file.hpp"
#include "files/text/error_texts.hpp"
#include "files/text/message_language.hpp"

#include <string>

namespace quorvel {

std::optional<int> LoadScript(std::string_view path, ScriptVoice voice, ScriptLines& script) {
    try {
        script = ReadScriptFile(std::string(path));
    } catch (const ScriptFileError& e) {
        if (voice == ScriptVoice::Window) {
            if (const std::string text = WindowScriptFileErrorText(e, path, PathForm::Quoted);
                !text.empty()) {
                Say(text);
                return kInvalidScript;
            }
        }
        Say(ScriptFileErrorText(e, path, PathForm::Quoted));
        return kCannotOpen;
    }
    if (!ScriptIsValid(script)) {
        Say(Tr("Script invalide..."));
        return kInvalidScript;
    }
    if (const auto problem = PatternProblemOf(script)) {
        Say(PatternProblemText(*problem));
        return kInvalidScript;
    }
    if (const auto problem = TemplateProblemOf(script)) {
        Say(TemplateProblemText(*problem));
        return kInvalidScript;
    }
    return std::nullopt;
}

} // namespace quorvel
