// The program's own help window: the help page in the language shown. Links inside
// the page are followed in place; a link to another page, file or site is handed to
// the desktop when the user clicks it. Escape or Ctrl+W closes the window, which
// the main window keeps and shows again.
#pragma once

#include "settings/environment.hpp"

#include <QTextBrowser>

namespace quorvel {

// The help page for the language shown: "Help/en/Help.htm" in English when it
// exists, "Help/Help.htm" otherwise.
QString HelpPage(const ProgramEnvironment& environment, bool english);

class THelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* parent);

    // Shows the page `path` (loaded again only when it is another page), sized to
    // fit the screen's available area when it was hidden, and raised.
    void ShowPage(const QString& path);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FollowLink(const QUrl& link);
    // Fits the window in the available area of its screen, centred.
    void FitScreen();
};

} // namespace quorvel
