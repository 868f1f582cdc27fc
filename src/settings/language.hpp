// Language files: replace the texts of a window's components.
//
// A language file holds one block per window:
//
//     TForm=FrmMain<TAB>Quorvel
//     {
//     TMenuItem<TAB>MNU_File<TAB>&File<TAB>hint
//     TTreeView<TAB>TreeViewCommande
//     {
//     Delete
//     ...
//     }
//     }
//
// The reader is deliberately literal: it has no escapes and no comments, and every
// failure (no file, no block, a block cut short) leaves the texts assigned so far
// and says nothing.
#pragma once

#include "engine/text.hpp"

#include <QString>
#include <cstddef>
#include <utility>
#include <vector>

class QObject;
class QTranslator;
class QWidget;

namespace quorvel {

struct ProgramEnvironment;

// A window and the components it owns, in the order it owns them.
struct LanguageTarget {
    QWidget* window = nullptr;
    std::vector<QObject*> components;
};

// The language file for `name`: "<name>.lng" in the first data folder that has it,
// else "Français.Lng" the same way; empty when neither exists.
QString FindLanguageFile(const ProgramEnvironment& environment, const QString& name);

// The lines of a language file: decoded as UTF-8 when valid, else Windows-1252, and
// cut at CR LF, CR and LF (a final line break ends the last line).
std::vector<Text> LanguageFileLines(const QByteArray& bytes);

// Applies the block of `target`'s window found in `lines`, if any.
void ApplyLanguageLines(const LanguageTarget& target, const std::vector<Text>& lines);
// Applies one block whose header is lines[header].
void ApplyFormBlock(const LanguageTarget& target, const std::vector<Text>& lines, std::size_t header);

// The program's own messages in a language file: the block "TForm=Messages",
// one "TMessage<TAB>key<TAB>text" line per message. Keys not found keep their
// built-in text.
std::vector<std::pair<QString, QString>> MessageEntries(const std::vector<Text>& lines);

// Reads the language file `name` (".lng") from the program's data folders, or
// "Français.Lng" when it is missing, and applies the block of `target`'s window.
// Silent. Returns the lines read (none when there was no file to read).
std::vector<Text> ApplyLanguage(const ProgramEnvironment& environment, const LanguageTarget& target,
                                const QString& name);

// Qt's own texts (its dialogs' buttons and captions) in French when `french`, in
// English otherwise, from Qt's installed translations. `translator` is the one the
// program keeps for them.
void SwitchQtTranslations(QTranslator& translator, bool french);

} // namespace quorvel
