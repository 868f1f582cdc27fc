#include "cli/cli.hpp"

#include "batch/load_script.hpp"
#include "cli/command_line.hpp"
#include "cli/folder_commands.hpp"
#include "cli/journal_commands.hpp"
#include "cli/messages.hpp"
#include "cli/pairs_commands.hpp"
#include "cli/records.hpp"
#include "engine/codec.hpp"
#include "engine/compiled_script.hpp"
#include "engine/errors.hpp"
#include "files/text/error_texts.hpp"
#include "files/text/message_language.hpp"
#include "files/text/shown_name.hpp"
#include "quorvel_version.hpp"

#include <string>
#include <unistd.h>
#include <vector>

namespace quorvel::cli {

namespace {

int Check(const Invocation& inv) {
    if (inv.operands.size() != 1) {
        return UsageError(Tr("check attend un SCRIPT"), "check");
    }
    ScriptLines script;
    if (const auto status = LoadScript(inv.operands[0], ScriptVoice::Cli, script)) {
        return *status;
    }
    return kOk;
}

int Apply(const Invocation& inv) {
    if (inv.operands.empty()) {
        return UsageError(Tr("apply attend un SCRIPT"), "apply");
    }
    ScriptLines script;
    if (const auto status = LoadScript(inv.operands[0], ScriptVoice::Cli, script)) {
        return *status;
    }
    const char separator = inv.null ? '\0' : '\n';
    Output out(STDOUT_FILENO);
    const CompiledScript compiled(script);
    NumberCounter counter = 0;
    bool first = true;
    Text name;
    Text result;
    std::string encoded;
    // Names come without a folder or facts: a template that asks for them fails on
    // the first name, which stops apply as any engine error does; {n} counts the
    // names read.
    std::size_t place = 0;
    // The first name is computed before anything is written: only it can raise a
    // conversion error, and then nothing must reach standard output.
    auto transform = [&](std::string_view bytes) {
        name.clear();
        DecodeNameInto(bytes, name);
        compiled.ApplyInto(
            name, first, counter,
            FileContext{.place = place, .placeInFolder = place, .dateNames = DateNamesOfMessages()}, result);
        ++place;
        first = false;
        encoded.clear();
        EncodeNameInto(result, encoded);
        out.Write(encoded);
        out.Put(separator);
    };
    try {
        if (inv.operands.size() > 1) {
            for (std::size_t i = 1; i < inv.operands.size(); ++i) {
                transform(inv.operands[i]);
            }
        } else if (!ReadRecords(STDIN_FILENO, separator, transform)) {
            Say(Tr("quorvel-cli : lecture de l'entrée standard impossible"));
            return kOutputError;
        }
    } catch (const MissingValueError& e) {
        // The name that lacks it, as "preview" says it.
        out.Flush();
        Say(FormatText(Tr("échec : %s : %s"), {Quoted(EncodeName(name)), EngineErrorText(e)}));
        return kEngineError;
    } catch (const EngineError& e) {
        out.Flush();
        Say(EngineErrorText(e));
        return kEngineError;
    }
    return out.Flush() ? kOk : kOutputError;
}

struct Command {
    std::string_view name;
    int (*run)(const Invocation&);
    AllowedOptions options;
};

constexpr Command kCommands[] = {
    {"apply", Apply, {}},
    {"check", Check, {}},
    {"preview", Preview, {.sort = true, .tree = true}},
    {"run", RunFolder, {.dryRun = true, .sort = true, .tree = true}},
    {"pairs", Pairs, {.dryRun = true}},
    {"edit", Edit, {.sort = true, .tree = true}},
    {"undo", Undo, {}},
    {"resume", Resume, {}},
    {"history", History, {}},
};

int Print(std::string_view text) {
    Output out(STDOUT_FILENO);
    out.Write(text);
    return out.Flush() ? kOk : kOutputError;
}

} // namespace

int Run(std::span<const std::string_view> args) {
    if (args.empty()) {
        return UsageError(Tr("commande manquante"));
    }
    const std::string_view name = args[0];
    const auto rest = args.subspan(1);
    if (name == "-h" || name == "--help" || name == "help") {
        // "help COMMAND" is the usage of that command.
        return Print(UsageOf(name == "help" && !rest.empty() ? rest[0] : std::string_view()));
    }
    if (name == "--version") {
        return Print("quorvel-cli " QUORVEL_VERSION "\n");
    }
    for (const Command& command : kCommands) {
        if (command.name != name) {
            continue;
        }
        std::string error;
        const auto inv = ParseOptions(rest, error, command.options);
        if (!inv) {
            return UsageError(error, command.name);
        }
        if (inv->help) {
            return Print(UsageOf(command.name));
        }
        return command.run(*inv);
    }
    return UsageError(FormatText(Tr("commande inconnue : %s"), {Quoted(name)}));
}

} // namespace quorvel::cli
