// The texts of a run: why a file is not renamed, the warnings, and the words of
// the errors of the file system.
#pragma once

#include "files/text/message_language.hpp"
#include "files/text/shown_name.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

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

// Why `name` (bytes) cannot name an entry of a folder: empty, "." or "..", holding
// "/" or NUL, or longer than 255 bytes. Nothing when it can.
std::optional<std::string> BadNameReason(std::string_view name);

// The reason shown for a failed rename (an errno value, or kNoSafeRename), in the
// language of the messages.
std::string RenameErrorText(int error);
struct RenameResult;
// The reason of a failed rename, and the name the file was left under if any.
std::string RenameFailureText(const RenameResult& result);

// A line of the report of a run, an undo or a resume: "échec : « old » -> « new » :
// reason", and the same for a warning ("attention : ...").
inline std::string FailureLine(std::string_view oldName, std::string_view newName, std::string_view reason) {
    return FormatText(Tr("échec : %s -> %s : %s"), {Quoted(oldName), Quoted(newName), reason});
}
inline std::string WarningLine(std::string_view oldName, std::string_view newName, std::string_view note) {
    return FormatText(Tr("attention : %s -> %s : %s"), {Quoted(oldName), Quoted(newName), note});
}

// Why a folder cannot be read, for an errno value.
std::string FolderErrorText(int error);
// A path given by the user that names nothing.
inline constexpr RunText kNoSuchFileText{TrNoop("aucun fichier de ce nom")};
// Why a path given by the user names no file of a folder, for the errno value that
// said so (EINVAL: a path such as "/" or "a/.." that names no entry).
std::string GivenPathErrorText(int error);
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
