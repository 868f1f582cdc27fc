// Reading the script of a run without a window, and saying why it cannot serve.
#pragma once

#include "engine/script.hpp"

#include <optional>
#include <string_view>

namespace quorvel {

// How problems with the script file are told: quorvel-cli's "Impossible d'ouvrir le
// fichier ..." (exit 66), or the window program's "Le fichier ... n'existe pas"
// (exit 2) and "Une erreur est survenue !" before an engine error.
enum class ScriptVoice { Cli, Window };

// Reads and checks the script named by `path` (bytes) into `script`; an exit
// status when it cannot serve, said on standard error in `voice`.
std::optional<int> LoadScript(std::string_view path, ScriptVoice voice, ScriptLines& script);

} // namespace quorvel
