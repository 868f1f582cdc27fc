#include "cli/cli.hpp"

#include "cli/command_line.hpp"
#include "cli/folder_commands.hpp"
#include "cli/journal_commands.hpp"
#include "cli/messages.hpp"
#include "cli/records.hpp"
#include "engine/codec.hpp"
#include "engine/compiled_script.hpp"
#include "engine/errors.hpp"
#include "quorvel_version.hpp"

#include <string>
#include <unistd.h>
#include <vector>

namespace quorvel::cli {

namespace {

int Check(std::span<const std::string_view> args) {
    std::string error;
    const auto inv = ParseOptions(args, error);
    if (!inv) {
        return UsageError(error);
    }
    if (inv->operands.size() != 1) {
        return UsageError("check attend un SCRIPT");
    }
    ScriptLines script;
    if (const auto status = LoadScript(inv->operands[0], script)) {
        return *status;
    }
    return kOk;
}

int Apply(std::span<const std::string_view> args) {
    std::string error;
    const auto inv = ParseOptions(args, error);
    if (!inv) {
        return UsageError(error);
    }
    if (inv->operands.empty()) {
        return UsageError("apply attend un SCRIPT");
    }
    ScriptLines script;
    if (const auto status = LoadScript(inv->operands[0], script)) {
        return *status;
    }
    const char separator = inv->null ? '\0' : '\n';
    Output out(STDOUT_FILENO);
    const CompiledScript compiled(script);
    NumberCounter counter = 0;
    bool first = true;
    Text name;
    Text result;
    std::string encoded;
    // The first name is computed before anything is written: only it can raise a
    // conversion error, and then nothing must reach standard output.
    auto transform = [&](std::string_view bytes) {
        name.clear();
        DecodeNameInto(bytes, name);
        compiled.ApplyInto(name, first, counter, result);
        first = false;
        encoded.clear();
        EncodeNameInto(result, encoded);
        out.Write(encoded);
        out.Put(separator);
    };
    try {
        if (inv->operands.size() > 1) {
            for (std::size_t i = 1; i < inv->operands.size(); ++i) {
                transform(inv->operands[i]);
            }
        } else if (!ReadRecords(STDIN_FILENO, separator, transform)) {
            Say("quorvel-cli : lecture de l'entrée standard impossible");
            return kOutputError;
        }
    } catch (const EngineError& e) {
        out.Flush();
        Say(e.what());
        return kEngineError;
    }
    return out.Flush() ? kOk : kOutputError;
}

} // namespace

int Run(std::span<const std::string_view> args) {
    if (args.empty()) {
        return UsageError("commande manquante");
    }
    const std::string_view command = args[0];
    const auto rest = args.subspan(1);
    if (command == "-h" || command == "--help" || command == "help") {
        Output out(STDOUT_FILENO);
        out.Write(kUsageText);
        return out.Flush() ? kOk : kOutputError;
    }
    if (command == "--version") {
        Output out(STDOUT_FILENO);
        out.Write("quorvel-cli " QUORVEL_VERSION "\n");
        return out.Flush() ? kOk : kOutputError;
    }
    if (command == "apply") {
        return Apply(rest);
    }
    if (command == "check") {
        return Check(rest);
    }
    if (command == "preview") {
        return Preview(rest);
    }
    if (command == "run") {
        return RunFolder(rest);
    }
    if (command == "undo") {
        return Undo(rest);
    }
    if (command == "resume") {
        return Resume(rest);
    }
    if (command == "history") {
        return History(rest);
    }
    return UsageError("commande inconnue : " + std::string(command));
}

} // namespace quorvel::cli
