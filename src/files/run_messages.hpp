// The texts of a run, and the language they are shown in.
//
// French is the built-in language: every text is written here in French, and a
// French text is shown exactly as written, catalogue or not. The other languages
// come from gettext catalogues (po/, installed as share/locale/LANG/LC_MESSAGES/
// quorvel.mo), whose message ids are these French texts.
#pragma once

#include "files/shown_name.hpp"

#include <initializer_list>
#include <string>
#include <string_view>

namespace quorvel {

// ---- Language -------------------------------------------------------------------

enum class MessageLanguage { French, English };

// The language the environment asks for, read as gettext reads it: nothing but
// the built-in language for the "C" or "POSIX" locale (LC_ALL, else LC_MESSAGES,
// else LANG), otherwise the first of LANGUAGE's colon-separated entries, then of
// that locale, that names English or French. French when none does.
MessageLanguage MessageLanguageOfEnvironment();

// Makes every text from now on come out in `language`, whatever the locale: the
// window calls it with the language of its own menu, quorvel-cli with
// MessageLanguageOfEnvironment(). Not thread-safe: call it while no other thread
// asks for a text. English needs the catalogues bound (BindMessageCatalogues).
void SetMessageLanguage(MessageLanguage language);
MessageLanguage CurrentMessageLanguage();

// Where the catalogues are: `folder`/LANG/LC_MESSAGES/quorvel.mo.
void BindMessageCatalogues(const std::string& folder);
// The share/locale beside the running program (PROGRAM/../share/locale), which is
// where an installed program has them and where the build tree puts them; "" when
// there is none.
std::string CatalogueFolderOfProgram();

// ---- Translation ----------------------------------------------------------------

// Marks a French text for the catalogue without translating it, for a text that is
// translated later, where it is shown.
constexpr const char* TrNoop(const char* french) {
    return french;
}
// `french` in the current language.
std::string_view Tr(const char* french);
// The singular or plural form for `n` in the current language (French: plural from
// 2 on).
std::string_view TrN(const char* singular, const char* plural, unsigned long n);

// `pattern` with its "%s" replaced, in order, by `values`, in one pass: a value that
// holds "%s" stays as it is.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> values);

// A fixed text of a run, translated when it becomes a string.
struct RunText {
    const char* french;
    operator std::string() const { return std::string(Tr(french)); }
};

// ---- Why a file is not renamed, and the warnings ----------------------------------

inline constexpr RunText kGoneText{TrNoop("le fichier n'existe plus")};
inline constexpr RunText kNowAFolderText{TrNoop("c'est maintenant un dossier")};
inline constexpr RunText kListedTwiceText{TrNoop("ce fichier figure déjà plus haut dans la sélection")};
inline constexpr RunText kTargetHeldText{TrNoop("un fichier de ce nom existe déjà")};
inline constexpr RunText kNotTheSameFileText{TrNoop("ce n'est plus le même fichier")};

inline std::string DuplicateTargetText(std::string_view keeper) {
    return FormatText(Tr("%s reçoit déjà ce nom"), {Quoted(keeper)});
}
inline std::string TargetHeldIgnoringCaseText(std::string_view holder) {
    return FormatText(Tr("%s existe déjà, et ce dossier ne distingue pas les majuscules ni les accents"),
                      {Quoted(holder)});
}
inline std::string LookalikeText(std::string_view other) {
    return FormatText(Tr("ne diffère de %s que par la casse ou les accents"), {Quoted(other)});
}
// A file that waited for another one to free its new name, which it kept.
inline std::string WaitedText(std::string_view holder) {
    return FormatText(Tr("%s n'a pas pu libérer ce nom"), {Quoted(holder)});
}
// A file of a cycle of renames that could not be completed.
inline std::string CycleText(std::string_view culprit, std::string_view why) {
    return FormatText(Tr("renommage en cycle interrompu par %s : %s"), {Quoted(culprit), why});
}
inline std::string LeftUnderText(std::string_view name) {
    return FormatText(Tr("le fichier porte maintenant le nom %s"), {Quoted(name)});
}

// Why a folder cannot be read, for an errno value.
std::string FolderErrorText(int error);
// "dossier illisible : « FOLDER » : why".
inline std::string FolderUnreadableText(std::string_view folder, int error) {
    return FormatText(Tr("dossier illisible : %s : %s"), {Quoted(folder), FolderErrorText(error)});
}
inline std::string NoJournalText(std::string_view why) {
    return FormatText(Tr("journal impossible à écrire : %s ; rien n'a été renommé"), {why});
}
inline constexpr RunText kJournalBusyText{TrNoop("ce lancement est en cours dans un autre processus")};
inline constexpr RunText kStoppedText{TrNoop("arrêt demandé avant ce fichier")};
inline constexpr RunText kPutBackText{TrNoop(", il reprend son nom")};
inline std::string NotPutBackText(std::string_view why) {
    return FormatText(Tr(", et il ne peut reprendre son nom : %s"), {why});
}

inline constexpr RunText kVerifyNewMissingText{TrNoop("vérification : le nouveau nom est introuvable")};
inline constexpr RunText kVerifyOldStaysText{TrNoop("vérification : l'ancien nom est toujours là")};
inline constexpr RunText kVerifyFolderText{TrNoop("vérification : c'est un dossier")};

} // namespace quorvel
