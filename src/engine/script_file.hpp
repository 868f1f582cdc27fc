// Script files: one script line per text line, each ended by CR LF, no header.
//
// Reading accepts what this program and older Windows copies of it write: UTF-8
// when the file is well-formed UTF-8 (a byte-order mark is dropped), Windows-1252
// otherwise. Writing uses Windows-1252 when every character has a byte there, so
// that such copies read the file unchanged, and UTF-8 without a mark otherwise.
#pragma once

#include "engine/script.hpp"

#include <string>
#include <string_view>

namespace quorvel {

// Cuts the bytes of a script file into lines: at CR LF, a lone CR and a lone LF; a
// break at the very end makes no extra line; a NUL byte ends the text.
ScriptLines ParseScriptText(std::string_view bytes);
// The bytes of a script file for `script`.
std::string FormatScriptText(const ScriptLines& script);

// Reads a script file; throws FileError "Impossible d'ouvrir le fichier %s".
ScriptLines ReadScriptFile(const std::string& path);
// Writes a script file, replacing any file of that name; throws FileError
// "Impossible de créer le fichier %s" or "Impossible d'écrire dans %s".
void WriteScriptFile(const std::string& path, const ScriptLines& script);

} // namespace quorvel
