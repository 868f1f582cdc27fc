#include "shell/help_window.hpp"

#include "shell/desktop.hpp"

#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>

namespace quorvel {

QString HelpPage(const ProgramEnvironment& environment, bool english) {
    if (english) {
        const QString page = environment.DataFile(QStringLiteral("Help/en/Help.htm"));
        if (QFileInfo::exists(page)) {
            return page;
        }
    }
    return environment.DataFile(QStringLiteral("Help/Help.htm"));
}

namespace {

// Escape, and Ctrl+W or the desktop's own key for closing a window.
bool ClosesTheWindow(const QKeyEvent& key) {
    return (key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier) ||
           (key.key() == Qt::Key_W && key.modifiers() == Qt::ControlModifier) ||
           key.matches(QKeySequence::Close);
}

} // namespace

THelpWindow::THelpWindow(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowFlag(Qt::Window);
    setOpenLinks(false); // every link goes through FollowLink
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &THelpWindow::FollowLink);
}

void THelpWindow::ShowPage(const QString& path) {
    const QUrl page = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (source() != page) {
        setSource(page);
    }
    const QString title = documentTitle().trimmed();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Quorvel") : title);
    if (isHidden()) {
        FitScreen();
    }
    show();
    raise();
    activateWindow();
}

void THelpWindow::FitScreen() {
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    // Room for the frame the desktop adds around the window.
    const QSize frame(16, 48);
    const QSize size = QSize(820, 680).boundedTo(area.size() - frame).expandedTo(QSize(200, 150));
    resize(size);
    move(area.left() + (area.width() - size.width() - frame.width()) / 2,
         area.top() + (area.height() - size.height() - frame.height()) / 2);
}

void THelpWindow::FollowLink(const QUrl& link) {
    const QUrl target = source().resolved(link);
    const auto page = [](const QUrl& url) { return url.adjusted(QUrl::RemoveFragment); };
    if (page(target) == page(source())) {
        // A place in the page shown.
        if (target.hasFragment() && !target.fragment().isEmpty()) {
            scrollToAnchor(target.fragment());
        } else {
            verticalScrollBar()->setValue(0);
        }
        return;
    }
    Desktop().OpenUrl(target);
}

bool THelpWindow::event(QEvent* event) {
    // The keys that close the window are the window's, not a shortcut's elsewhere.
    if (event->type() == QEvent::ShortcutOverride && ClosesTheWindow(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTextBrowser::event(event);
}

void THelpWindow::keyPressEvent(QKeyEvent* event) {
    if (ClosesTheWindow(*event)) {
        close();
        return;
    }
    QTextBrowser::keyPressEvent(event);
}

} // namespace quorvel
