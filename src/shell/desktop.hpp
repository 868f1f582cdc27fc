// The program's few conversations with the desktop and the user that tests need to
// answer in its place: opening a file or page with its usual program, message
// boxes, the confirmation, and the file dialogs. The program uses Desktop(); tests
// install their own implementation with SetDesktop().
#pragma once

#include <QString>
#include <QUrl>
#include <memory>

class QWidget;

namespace quorvel {

class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // Opens a file, page or mail address with the program the desktop associates;
    // false when the desktop has none.
    virtual bool OpenUrl(const QUrl& url);
    // A plain message box with an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text);
    // An error message box.
    virtual void ShowError(QWidget* parent, const QString& text);
    // The confirmation box, "&Oui" and "&Non": true only when the user answers Yes.
    virtual bool Confirm(QWidget* parent, const QString& title, const QString& text);
    // "Oui", "Non" or "Annuler" to a question about unsaved changes.
    enum class SaveAnswer { Save, Discard, Cancel };
    virtual SaveAnswer AskToSave(QWidget* parent, const QString& text);
    // What to do with a run left in the middle: "Remettre les anciens noms",
    // "Terminer le renommage", "Oublier" (never ask again) or "Plus tard", which is
    // always there; the box shows only the buttons `offered` names, and an answer
    // that was not offered is taken as "Plus tard".
    enum class InterruptedAnswer { Undo, Finish, Forget, Leave };
    struct InterruptedChoices {
        bool undo = true;
        bool finish = true;
        bool forget = false;
        bool Offers(InterruptedAnswer answer) const;
    };
    virtual InterruptedAnswer AskAboutInterruptedRun(QWidget* parent, const QString& text,
                                                     InterruptedChoices offered);
    // File dialogs; an empty result when the user cancels.
    virtual QString OpenFileName(QWidget* parent, const QString& folder, const QString& filter);
    virtual QString SaveFileName(QWidget* parent, const QString& folder, const QString& filter);
};

DesktopServices& Desktop();
// Replaces the services (nullptr restores the real ones); returns the previous ones.
std::unique_ptr<DesktopServices> SetDesktop(std::unique_ptr<DesktopServices> services);

} // namespace quorvel
