#include "shell/desktop.hpp"

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
} // namespace

void DesktopServices::OpenUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

void DesktopServices::ShowMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quorvel"), text, QMessageBox::Ok, parent);
    box.exec();
}

void DesktopServices::ShowError(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quorvel"), text, QMessageBox::Ok, parent);
    box.exec();
}

bool DesktopServices::Confirm(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
    box.exec();
    return box.clickedButton() == yes;
}

QString DesktopServices::OpenFileName(QWidget* parent, const QString& folder, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), folder, filter);
}

QString DesktopServices::SaveFileName(QWidget* parent, const QString& folder, const QString& filter) {
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
