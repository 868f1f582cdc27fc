// The texts of a run, in French: why a file is not renamed, and the warnings.
#pragma once

#include "files/shown_name.hpp"

#include <string>
#include <string_view>

namespace quorvel {

inline constexpr std::string_view kGoneText = "le fichier n'existe plus";
inline constexpr std::string_view kNowAFolderText = "c'est maintenant un dossier";
inline constexpr std::string_view kListedTwiceText = "ce fichier figure déjà plus haut dans la sélection";
inline constexpr std::string_view kTargetHeldText = "un fichier de ce nom existe déjà";
inline constexpr std::string_view kNotTheSameFileText = "ce n'est plus le même fichier";

inline std::string DuplicateTargetText(std::string_view keeper) {
    return Quoted(keeper) + " reçoit déjà ce nom";
}
inline std::string TargetHeldIgnoringCaseText(std::string_view holder) {
    return Quoted(holder) + " existe déjà, et ce dossier ne distingue pas les majuscules ni les accents";
}
inline std::string LookalikeText(std::string_view other) {
    return "ne diffère de " + Quoted(other) + " que par la casse ou les accents";
}
// A file that waited for another one to free its new name, which it kept.
inline std::string WaitedText(std::string_view holder) {
    return Quoted(holder) + " n'a pas pu libérer ce nom";
}
// A file of a cycle of renames that could not be completed.
inline std::string CycleText(std::string_view culprit, std::string_view why) {
    return "renommage en cycle interrompu par " + Quoted(culprit) + " : " + std::string(why);
}
inline std::string LeftUnderText(std::string_view name) {
    return "le fichier porte maintenant le nom " + Quoted(name);
}

// Why a folder cannot be read, for an errno value.
std::string FolderErrorText(int error);
// "dossier illisible : FOLDER : why".
inline std::string FolderUnreadableText(std::string_view folder, int error) {
    return "dossier illisible : " + ShownName(folder) + " : " + FolderErrorText(error);
}
inline std::string NoJournalText(std::string_view why) {
    return "journal impossible à écrire : " + std::string(why) + " ; rien n'a été renommé";
}
inline constexpr std::string_view kJournalBusyText = "ce lancement est en cours dans un autre processus";
inline constexpr std::string_view kPutBackText = ", il reprend son nom";
inline std::string NotPutBackText(std::string_view why) {
    return ", et il ne peut reprendre son nom : " + std::string(why);
}

inline constexpr std::string_view kVerifyNewMissingText = "vérification : le nouveau nom est introuvable";
inline constexpr std::string_view kVerifyOldStaysText = "vérification : l'ancien nom est toujours là";
inline constexpr std::string_view kVerifyFolderText = "vérification : c'est un dossier";

} // namespace quorvel
