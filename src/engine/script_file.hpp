// Script files: one script line per text line, each ended by CR LF, no header.
//
// Reading accepts what this program and older Windows copies of it write: UTF-8
// when the file is well-formed UTF-8 (a byte-order mark is dropped), Windows-1252
// otherwise. Writing uses Windows-1252 when every character has a byte there, so
// that such copies read the file unchanged, and UTF-8 without a mark otherwise.
#pragma once

#include "engine/errors.hpp"
#include "engine/script.hpp"

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvel {

// Cuts the bytes of a script file into lines: at CR LF, a lone CR and a lone LF; a
// break at the very end makes no extra line; a NUL byte ends the text.
ScriptLines ParseScriptText(std::string_view bytes);
// The bytes of a script file for `script`.
std::string FormatScriptText(const ScriptLines& script);

// The largest script file read. Scripts are a few kilobytes; a bigger file is not
// a script, and reading it whole could exhaust memory.
inline constexpr std::size_t kMaxScriptFileBytes = std::size_t{64} << 20;

// Whether the bytes of a file are a script: no NUL byte, and either every line is
// blank (an empty script) or at least one line is "<digits>|..." (blanks before
// the digits allowed, as the command number is read). A picture, a binary or a
// text of another kind is not.
bool IsScriptText(std::string_view bytes);

// How strictly a file is read: any file as lines of text (quorvel-cli and the
// unattended run, which never save), or only a file that is a script (the window,
// which would write the lines back over it).
enum class ScriptReading { AnyFile, ScriptsOnly };

// A script file that could not be read, and why. what() is "Impossible d'ouvrir le
// fichier %s" for a missing or unreadable file, and that text followed by
// " : c'est un dossier", " : c'est un tube nommé", " : c'est un périphérique",
// " : c'est une socket" or " : il dépasse 64 Mio" for the other kinds; "Le fichier
// %s n'est pas un script" for a file that is not a script.
class ScriptFileError : public FileError {
public:
    enum class Kind {
        Missing,    // no such file, or a part of the path is not a folder
        Folder,     // a folder
        Fifo,       // a named pipe
        Device,     // a character or block device
        Socket,     // a socket
        TooLarge,   // more than kMaxScriptFileBytes
        Unreadable, // any other failure: rights, input/output error, ...
        NotAScript, // read with ScriptsOnly, and not a script (IsScriptText)
    };

    ScriptFileError(Kind kind, std::string_view path);
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// What a path that is not a regular file is, with its article: "un dossier",
// "un tube nommé", "un périphérique" or "une socket", for messages such as
// "Le fichier %s est un dossier"; empty for Missing, TooLarge, Unreadable and
// NotAScript.
std::string_view PathKindNoun(ScriptFileError::Kind kind);

// Reads a script file of at most kMaxScriptFileBytes; throws ScriptFileError. Never
// waits: a named pipe or a device is refused, not read. With ScriptsOnly a file
// that is not a script is refused too (NotAScript).
ScriptLines ReadScriptFile(const std::string& path, ScriptReading reading = ScriptReading::AnyFile);
// Writes a script file, replacing any file of that name as one step: written beside
// it and renamed over it, its permission bits kept, a symbolic link kept and the
// file it leads to replaced (ReplaceFileContent); a failure leaves the old file as it
// was. Throws FileError "Impossible de créer le fichier %s" or "Impossible d'écrire
// dans %s".
void WriteScriptFile(const std::string& path, const ScriptLines& script);

} // namespace quorvel
