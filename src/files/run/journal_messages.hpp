// The texts of the journals: why one is left out or cannot be used, why a recorded
// run cannot be taken back or finished now, a journal that could not be completed,
// and files left under a temporary name. French, translated where shown, like the
// other texts of a run (run_messages.hpp).
#pragma once

#include "files/run/run_messages.hpp"

#include <string>
#include <string_view>

namespace quorvel {

// The folder of the journals belongs to someone else or others may write to it:
// nothing is read from it, and no run writes to it.
inline std::string UnsafeJournalFolderText(std::string_view folder) {
    return FormatText(Tr("dossier des journaux non sûr : %s"), {Quoted(folder)});
}

// A journal left out: "journal écarté : PATH : why".
inline std::string JournalLeftOutText(std::string_view journal, std::string_view why) {
    return FormatText(Tr("journal écarté : %s : %s"), {Quoted(journal), why});
}
inline constexpr RunText kNotAJournalText{TrNoop("ce n'est pas un journal")};
inline constexpr RunText kJournalTooLargeText{TrNoop("trop grand pour un journal")};
inline constexpr RunText kJournalUnsafeText{
    TrNoop("il appartient à un autre utilisateur, ou d'autres peuvent y écrire")};
inline std::string JournalMalformedText(std::size_t line) {
    return FormatText(Tr("contenu mal formé, ligne %s"), {std::to_string(line)});
}
inline constexpr RunText kJournalNoPlanText{TrNoop("plan incomplet")};
inline constexpr RunText kJournalInodeZeroText{TrNoop("un fichier sans numéro d'inode")};
inline constexpr RunText kJournalRelativeFolderText{TrNoop("le chemin du dossier n'est pas absolu")};
inline std::string JournalBadNameText(std::string_view name, std::string_view why) {
    return FormatText(Tr("nom refusé %s : %s"), {Quoted(name), why});
}
inline std::string JournalUnreadableText(std::string_view why) {
    return FormatText(Tr("illisible : %s"), {why});
}

// What UndoRun, ResumeRun and ForgetRun are given is not a journal of the folder.
inline std::string NoSuchJournalText(std::string_view journal) {
    return FormatText(Tr("aucun journal %s dans le dossier des journaux"), {Quoted(journal)});
}
// The folder at the recorded path is another folder than the run's.
inline std::string NotTheSameFolderText(std::string_view folder) {
    return FormatText(Tr("ce n'est plus le même dossier : %s"), {Quoted(folder)});
}
inline constexpr RunText kLaterRunText{
    TrNoop("un renommage plus récent de ce dossier doit d'abord être annulé")};

// A progress or closing record could not be written: the renames were done, the
// records lag behind them.
inline std::string JournalIncompleteText(std::string_view why) {
    return FormatText(Tr("journal incomplet : %s ; l'annulation relira le dossier"), {why});
}
inline constexpr RunText kPlanTooLargeText{TrNoop("le plan de ce renommage est trop grand pour un journal")};

// A file of a cycle of renames left under its temporary name.
inline std::string UnderTemporaryText(std::string_view name, std::string_view path) {
    return FormatText(Tr("%s est resté sous le nom temporaire %s"), {Quoted(name), Quoted(path)});
}

} // namespace quorvel
