// The errors of the engine and of files as the programs and the window show them:
// in the language of the messages, names shown safely (files/shown_name.hpp).
#pragma once

#include "engine/errors.hpp"
#include "engine/script_file.hpp"

#include <string>
#include <string_view>

namespace quorvel {

// How a path stands in the texts below: quoted, as in every text of quorvel-cli and
// of the unattended run ("Impossible d'ouvrir le fichier « PATH »"), or bare, as
// the window's message boxes say it ("Le fichier PATH n'existe pas"). Either way
// it is escaped (files/shown_name.hpp).
enum class PathForm { Quoted, Bare };

// "'a1' n'est pas une valeur entière correcte", "Le nouveau nom est trop long",
// "expression trop coûteuse pour « NAME »", "pas de date de prise de vue"...
std::string EngineErrorText(const EngineError& error);

// "Expression invalide : MESSAGE à la position N".
std::string PatternProblemText(const PatternProblem& problem);

// "Modèle invalide : jeton inconnu « x » à la position N".
std::string TemplateProblemText(const TemplateProblem& problem);

// quorvel-cli's "Impossible d'ouvrir le fichier PATH", with " : c'est un dossier" and
// the like for what is not a regular file; "Le fichier PATH n'est pas un script"
// for a file read as a script only.
std::string ScriptFileErrorText(const ScriptFileError& error, std::string_view path, PathForm form);

// The window program's "Le fichier PATH n'existe pas", "Le fichier PATH est un
// dossier" (a named pipe, a device, a socket) or "Le fichier PATH n'est pas un
// script"; empty for the other kinds, which it tells as quorvel-cli does.
std::string WindowScriptFileErrorText(const ScriptFileError& error, std::string_view path, PathForm form);

// "Impossible de créer le fichier PATH", "Impossible d'écrire dans PATH", or what
// ScriptFileErrorText says of a script file, as the window says them (the path
// bare); the error's own text when it was not made from one of the engine's
// messages.
std::string FileErrorText(const FileError& error);

} // namespace quorvel
