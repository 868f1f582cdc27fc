#include "shell/desktop.hpp"

#include "shell/keys_back.hpp"
#include "shell/messages.hpp"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

namespace quorvel {

namespace {
std::unique_ptr<DesktopServices>& Current() {
    static std::unique_ptr<DesktopServices> services = std::make_unique<DesktopServices>();
    return services;
}

// Shows `box` until it is answered. Its text is plain: a name in it (a folder, a
// script) is never read as markup.
void Exec(QMessageBox& box) {
    box.setTextFormat(Qt::PlainText);
    const KeysBackAfter keys(box.parentWidget());
    box.exec();
}
} // namespace

bool DesktopServices::OpenUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

void DesktopServices::ShowMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quorvel"), text, QMessageBox::Ok, parent);
    Exec(box);
}

void DesktopServices::ShowError(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quorvel"), text, QMessageBox::Ok, parent);
    Exec(box);
}

bool DesktopServices::Confirm(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(messages::YesButton(), QMessageBox::YesRole);
    box.addButton(messages::NoButton(), QMessageBox::NoRole);
    Exec(box);
    return box.clickedButton() == yes;
}

DesktopServices::SaveAnswer DesktopServices::AskToSave(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Quorvel"), text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(messages::YesButton(), QMessageBox::YesRole);
    QPushButton* no = box.addButton(messages::NoButton(), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(messages::CancelButton(), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    Exec(box);
    if (box.clickedButton() == yes) {
        return SaveAnswer::Save;
    }
    return box.clickedButton() == no ? SaveAnswer::Discard : SaveAnswer::Cancel;
}

bool DesktopServices::InterruptedChoices::Offers(InterruptedAnswer answer) const {
    switch (answer) {
    case InterruptedAnswer::Undo:
        return undo;
    case InterruptedAnswer::Finish:
        return finish;
    case InterruptedAnswer::Forget:
        return forget;
    case InterruptedAnswer::Leave:
        break;
    }
    return true;
}

DesktopServices::InterruptedAnswer
DesktopServices::AskAboutInterruptedRun(QWidget* parent, const QString& text, InterruptedChoices offered) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorvel"), text, QMessageBox::NoButton, parent);
    const auto add = [&box](bool shown, const QString& caption, QMessageBox::ButtonRole role) {
        return shown ? box.addButton(caption, role) : nullptr;
    };
    const QPushButton* undo = add(offered.undo, messages::PutBackButton(), QMessageBox::DestructiveRole);
    const QPushButton* finish = add(offered.finish, messages::FinishButton(), QMessageBox::AcceptRole);
    const QPushButton* forget = add(offered.forget, messages::ForgetButton(), QMessageBox::ActionRole);
    QPushButton* later = box.addButton(messages::LaterButton(), QMessageBox::RejectRole);
    box.setDefaultButton(later);
    box.setEscapeButton(later);
    Exec(box);
    const QAbstractButton* clicked = box.clickedButton();
    if (clicked == nullptr || clicked == later) {
        return InterruptedAnswer::Leave;
    }
    if (clicked == undo) {
        return InterruptedAnswer::Undo;
    }
    if (clicked == finish) {
        return InterruptedAnswer::Finish;
    }
    return clicked == forget ? InterruptedAnswer::Forget : InterruptedAnswer::Leave;
}

QString DesktopServices::OpenFileName(QWidget* parent, const QString& folder, const QString& filter) {
    const KeysBackAfter keys(parent);
    return QFileDialog::getOpenFileName(parent, QString(), folder, filter);
}

QString DesktopServices::SaveFileName(QWidget* parent, const QString& folder, const QString& filter) {
    const KeysBackAfter keys(parent);
    return QFileDialog::getSaveFileName(parent, QString(), folder, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

DesktopServices& Desktop() {
    return *Current();
}

std::unique_ptr<DesktopServices> SetDesktop(std::unique_ptr<DesktopServices> services) {
    std::unique_ptr<DesktopServices> previous = std::move(Current());
    Current() = services ? std::move(services) : std::make_unique<DesktopServices>();
    return previous;
}

} // namespace quorvel
