// The texts the window says in its own words (its controls' captions come from
// the language files). Each has a key in the "Messages" block of the language
// files; the French text written here is the built-in one. The texts of the run
// and of the engine's errors come from gettext (files/run_messages.hpp,
// files/error_texts.hpp).
#pragma once

#include <QString>
#include <utility>
#include <vector>

namespace quorvel::messages {

// Replaces the texts below that have a key by those of the language shown (the
// "Messages" block of its language file); none: the built-in ones.
void SetTranslations(std::vector<std::pair<QString, QString>> entries);
// The text for `key` in the language shown, or `builtIn`.
QString Translated(const char* key, const QString& builtIn);

inline QString InvalidScript() {
    return Translated("InvalidScript", QStringLiteral("Script invalide..."));
}
// Why a search pattern does not compile: PCRE2's message and the position, in
// characters, where it was found.
inline QString InvalidPattern(const QString& message, long long position) {
    return Translated("InvalidPattern", QStringLiteral("Expression invalide : %1 à la position %2"))
        .arg(message, QString::number(position));
}
inline QString ConfirmTitle() {
    return Translated("ConfirmTitle", QStringLiteral("Confirmation"));
}
inline QString ConfirmRun() {
    return Translated("ConfirmRun",
                      QStringLiteral("êtes-vous sûr de vouloir modifier le nom des fichiers sélectionnés ?"));
}
// The plan under the question of a run.
inline QString RunPlan(std::size_t toRename, std::size_t unchanged, std::size_t conflicts) {
    return Translated("RunPlan", QStringLiteral("%1 à renommer, %2 inchangés, %3 en conflit"))
        .arg(toRename)
        .arg(unchanged)
        .arg(conflicts);
}
// The status line after a run.
inline QString RunStatus(std::size_t renamed, std::size_t unchanged, std::size_t failed) {
    return Translated("RunStatus", QStringLiteral("%1 renommé(s), %2 inchangé(s), %3 échec(s)"))
        .arg(renamed)
        .arg(unchanged)
        .arg(failed);
}
// The status line after a run stopped with "Arrêter": the files it never reached
// are not done, not unchanged.
inline QString StoppedRunStatus(std::size_t renamed, std::size_t notDone) {
    return Translated("StoppedRunStatus", QStringLiteral("arrêté : %1 renommés, %2 non traités"))
        .arg(renamed)
        .arg(notDone);
}
// The status line after an undo, and after an undo stopped with "Arrêter".
inline QString UndoStatus(std::size_t putBack, std::size_t failed) {
    return Translated("UndoStatus", QStringLiteral("%1 remis sous leur ancien nom, %2 échecs"))
        .arg(putBack)
        .arg(failed);
}
inline QString StoppedUndoStatus(std::size_t putBack, std::size_t notDone) {
    return Translated("StoppedUndoStatus",
                      QStringLiteral("arrêté : %1 remis sous leur ancien nom, %2 non traités"))
        .arg(putBack)
        .arg(notDone);
}
// The status line after a listing that could not read `count` of the folders
// below the folder chosen.
inline QString UnreadableFolders(std::size_t count) {
    return count == 1 ? Translated("UnreadableFolder", QStringLiteral("1 dossier illisible"))
                      : Translated("UnreadableFolders", QStringLiteral("%1 dossiers illisibles")).arg(count);
}
// Added to a stopped status when files failed too.
inline QString FailedSuffix(std::size_t failed) {
    return Translated("FailedSuffix", QStringLiteral(", %1 échecs")).arg(failed);
}
// One failure in the tooltip of the status line: old name, new name (both quoted
// and escaped, files/shown_name.hpp), reason.
inline QString FailureLine(const QString& oldName, const QString& newName, const QString& reason) {
    return Translated("FailureLine", QStringLiteral("%1 → %2 : %3")).arg(oldName, newName, reason);
}
// The filter of the file dialogs; the pattern stays "*.script".
inline QString ScriptFilter() {
    return Translated("ScriptFilter", QStringLiteral("Fichier Script (*.script)"));
}
inline QString SaveChanges() {
    return Translated("SaveChanges", QStringLiteral("Enregistrer les modifications du script ?"));
}
// The files given (on the command line, or dropped) that are not listed, one
// RefusedFileLine each below it.
inline QString RefusedFiles() {
    return Translated("RefusedFiles", QStringLiteral("Ces fichiers ne sont pas affichés :"));
}
// A file given that is not listed (quoted and escaped), and why.
inline QString RefusedFileLine(const QString& path, const QString& reason) {
    return Translated("RefusedFileLine", QStringLiteral("%1 : %2")).arg(path, reason);
}
inline QString NothingToUndo() {
    return Translated("NothingToUndo", QStringLiteral("Rien à annuler"));
}
inline QString UndoCaption() {
    return QStringLiteral("Annuler le dernier renommage");
}
// The question at start-up about a run left in the middle: which run it is, then
// the lines that apply to it, each on its own line.
inline QString InterruptedRun(const QString& folder, const QString& begun, std::size_t done,
                              std::size_t total) {
    return Translated("InterruptedRun",
                      QStringLiteral("Le renommage du dossier %1, commencé le %2, a été interrompu "
                                     "(%3 fichier(s) renommé(s) sur %4)."))
        .arg(folder, begun, QString::number(done),
             QString::number(total)); // one pass: a "%2" in the folder stays
}
// How the day and time a run began are written in that question (QDateTime's format).
inline QString InterruptedRunDate() {
    return Translated("InterruptedRunDate", QStringLiteral("dd/MM/yyyy 'à' HH:mm:ss"));
}
inline QString UnderTemporaryName(std::size_t files) {
    return Translated("UnderTemporaryName", QStringLiteral("%1 fichier(s) sous un nom temporaire."))
        .arg(files);
}
inline QString PutBackOrFinish() {
    return Translated("PutBackOrFinish",
                      QStringLiteral("Remettre les anciens noms, ou terminer le renommage ?"));
}
// A later run of the same folder has renames in place.
inline QString LaterRunFirst() {
    return Translated("LaterRunFirst", QStringLiteral("Il ne peut être ni annulé ni terminé maintenant : un "
                                                      "renommage plus récent de ce dossier doit d'abord être "
                                                      "annulé."));
}
// The folder at the recorded path is gone, or is another folder.
inline QString InterruptedFolderGone() {
    return Translated("InterruptedFolderGone",
                      QStringLiteral("Ce dossier n'est plus là : rien ne peut y être remis ni terminé."));
}
inline QString ForgetExplained() {
    return Translated(
        "ForgetExplained",
        QStringLiteral("« Oublier » laisse les fichiers comme ils sont et ne pose plus la question."));
}
// Above the journals that could not be used, one a line, shown once at start-up.
inline QString UnusableJournals() {
    return Translated("UnusableJournals",
                      QStringLiteral("Des journaux de renommage ne peuvent pas servir :"));
}
// The root of the folder tree that is the user's home folder.
inline QString HomeFolder() {
    return Translated("HomeFolder", QStringLiteral("Dossier personnel"));
}
// The buttons of the confirmation of a run and of the question about saving.
inline QString YesButton() {
    return Translated("YesButton", QStringLiteral("&Oui"));
}
inline QString NoButton() {
    return Translated("NoButton", QStringLiteral("&Non"));
}
inline QString CancelButton() {
    return Translated("CancelButton", QStringLiteral("Annuler"));
}
// The buttons of the question about an interrupted run.
inline QString PutBackButton() {
    return Translated("PutBackButton", QStringLiteral("Remettre les anciens noms"));
}
inline QString FinishButton() {
    return Translated("FinishButton", QStringLiteral("Terminer le renommage"));
}
inline QString LaterButton() {
    return Translated("LaterButton", QStringLiteral("Plus tard"));
}
inline QString ForgetButton() {
    return Translated("ForgetButton", QStringLiteral("Oublier"));
}
// The label of the progress of a run, and of an undo, and the button that stops them.
inline QString RunProgress() {
    return Translated("RunProgress", QStringLiteral("Renommage des fichiers..."));
}
// The label of the progress while the facts the templates ask for are read.
inline QString FactsProgress() {
    return Translated("FactsProgress", QStringLiteral("Lecture des dates et des étiquettes des fichiers..."));
}
// The label of the progress while the folders below the folder chosen are read.
inline QString FilesProgress() {
    return Translated("FilesProgress", QStringLiteral("Lecture des fichiers…"));
}
inline QString FoldersProgress() {
    return Translated("FoldersProgress", QStringLiteral("Lecture des dossiers…"));
}
inline QString UndoProgress() {
    return Translated("UndoProgress", QStringLiteral("Annulation du dernier renommage..."));
}
// The label of the progress while an interrupted run is taken back.
inline QString PutBackProgress() {
    return Translated("PutBackProgress", QStringLiteral("Remise des anciens noms..."));
}
inline QString StopButton() {
    return Translated("StopButton", QStringLiteral("Arrêter"));
}
inline QString RangeError(long long index) {
    return Translated("RangeError", QStringLiteral("Indice de liste hors limites (%1)")).arg(index);
}
// The title of the About box.
inline QString AboutTitle() {
    return Translated("AboutTitle", QStringLiteral("A propos"));
}

} // namespace quorvel::messages
