// The texts the window says in its own words (its controls' captions come from
// the language files).
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
    return QStringLiteral("Script invalide...");
}
inline QString ConfirmTitle() {
    return QStringLiteral("Confirmation");
}
inline QString ConfirmRun() {
    return QStringLiteral("êtes-vous sûr de vouloir modifier le nom des fichiers sélectionnés ?");
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
inline QString ScriptFilter() {
    return QStringLiteral("Fichier Script (*.script)");
}
inline QString MissingFile(const QString& path) {
    return QStringLiteral("Le fichier %1 n'existe pas").arg(path);
}
inline QString SaveChanges() {
    return Translated("SaveChanges", QStringLiteral("Enregistrer les modifications du script ?"));
}
// Why a value cannot be written into a placeholder.
inline QString ForbiddenCharacters() {
    return Translated("ForbiddenCharacters",
                      QStringLiteral("Caractères interdits dans une valeur : = [ ] |"));
}
inline QString NothingToUndo() {
    return Translated("NothingToUndo", QStringLiteral("Rien à annuler"));
}
inline QString UndoCaption() {
    return QStringLiteral("Annuler le dernier renommage");
}
// The question at start-up about a run left in the middle.
inline QString InterruptedRun(const QString& folder, std::size_t done, std::size_t total) {
    return Translated("InterruptedRun",
                      QStringLiteral("Le renommage du dossier %1 a été interrompu (%2 fichier(s) "
                                     "sur %3).\nAnnuler ce qui a été fait, ou terminer le renommage ?"))
        .arg(folder)
        .arg(done)
        .arg(total);
}
// The root of the folder tree that is the user's home folder.
inline QString HomeFolder() {
    return Translated("HomeFolder", QStringLiteral("Dossier personnel"));
}
// The buttons of the questions about saving and about an interrupted run.
inline QString YesButton() {
    return Translated("YesButton", QStringLiteral("&Oui"));
}
inline QString NoButton() {
    return Translated("NoButton", QStringLiteral("&Non"));
}
inline QString CancelButton() {
    return Translated("CancelButton", QStringLiteral("Annuler"));
}
inline QString UndoButton() {
    return Translated("UndoButton", QStringLiteral("Annuler"));
}
inline QString FinishButton() {
    return Translated("FinishButton", QStringLiteral("Terminer"));
}
inline QString LaterButton() {
    return Translated("LaterButton", QStringLiteral("Plus tard"));
}
// The label of the progress of a run, and of an undo, and the button that stops them.
inline QString RunProgress() {
    return Translated("RunProgress", QStringLiteral("Renommage des fichiers..."));
}
inline QString UndoProgress() {
    return Translated("UndoProgress", QStringLiteral("Annulation du dernier renommage..."));
}
inline QString StopButton() {
    return Translated("StopButton", QStringLiteral("Annuler"));
}
// The status line of a run or an undo stopped before its end.
inline QString RunStopped(const QString& status) {
    return Translated("RunStopped", QStringLiteral("%1, arrêté à la demande")).arg(status);
}
inline QString RangeError(long long index) {
    return QStringLiteral("Indice de liste hors limites (%1)").arg(index);
}

} // namespace quorvel::messages
