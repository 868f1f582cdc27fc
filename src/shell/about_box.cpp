#include "shell/about_box.hpp"

#include "bridge/qt_text.hpp"
#include "engine/primitives.hpp"
#include "look/colours.hpp"
#include "look/menu_images.hpp"
#include "look/t_panel.hpp"
#include "shell/desktop.hpp"

#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <functional>

namespace quorvel {

namespace {

QFont Verdana(int pixels, bool bold) {
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A label that runs `onClick` when clicked, underlined with a hand cursor; the box
// gives it its colour.
class TLinkLabel : public QLabel {
public:
    TLinkLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
        : QLabel(text, parent), onClick_(std::move(onClick)) {
        setCursor(Qt::PointingHandCursor);
        QFont link = Verdana(13, false);
        link.setUnderline(true);
        setFont(link);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            onClick_();
        }
        QLabel::mouseReleaseEvent(event);
    }

private:
    std::function<void()> onClick_;
};

QLabel* Label(const QString& text, QWidget* parent, QPoint at, const QFont& font, const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->move(at);
    label->adjustSize();
    return label;
}

} // namespace

QString TAboutBox::Title(const QString& programFileName, const QString& version) {
    const Text name = Text(NthField(FromQString(programFileName), U".", 1)) + U" ";
    const Text versionText = FromQString(version) + U" ";
    Text title = ReplaceFirst(U"NomExe version LaVersion", U"NomExe", name);
    title = ReplaceFirst(title, U"LaVersion", versionText);
    return ToQString(title);
}

TAboutBox::TAboutBox(const QString& programPath, const QString& version, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("A propos"));
    setFixedSize(kWidth, kHeight);
    setFont(Verdana(13, false));

    // The panel fills the box inside its one-pixel border.
    Panel1 = new T_Panel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(1, 1, kWidth - 2, kHeight - 2);
    Panel1->SetBevelOuter(TBevelCut::bvNone);

    LabelVersion =
        Label(QStringLiteral("NomExe version LaVersion"), Panel1, {24, 10}, Verdana(16, true), Qt::black);
    LabelVersionBlanc =
        Label(QStringLiteral("NomExe version LaVersion"), Panel1, {23, 9}, Verdana(16, true), Qt::white);
    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setGeometry(24, 38, 32, 32);
    ProgramIcon->setPixmap(quorvel::ProgramIcon().pixmap(32, 32));
    LabNotice =
        Label(QStringLiteral("© 2025 Projet Quorvel"), Panel1, {91, 38}, Verdana(16, true), Qt::black);
    LabNotice->setWordWrap(true);
    LabNotice->resize(kWidth - 2 - 91 - 8, LabNotice->heightForWidth(kWidth - 2 - 91 - 8));
    LabPlace = Label(QStringLiteral("Lyon, France"), Panel1, {143, 54}, Verdana(13, false), Qt::black);
    LabURL = new TLinkLabel(QString::fromLatin1(kWebAddress), Panel1, [this] { LabURLClick(); });
    LabURL->move(80, 88);
    LabURL->adjustSize();
    LabMail = new TLinkLabel(QString::fromLatin1(kMailAddress), Panel1, [this] { LabMailClick(); });
    LabMail->move(103, 108);
    LabMail->adjustSize();

    BtnOk = new QToolButton(Panel1);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setText(QStringLiteral("OK"));
    BtnOk->setIcon(OkButtonImage());
    BtnOk->setAutoRaise(true);
    BtnOk->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    BtnOk->setGeometry(152, 150, 80, 29);
    connect(BtnOk, &QToolButton::clicked, this, [this] { BtnOkClick(); });

    ApplyColours();
    FormCreate(programPath, version);
}

void TAboutBox::ApplyColours() {
    const LookColours colours = ColoursFor(palette());
    Panel1->SetColor(colours.aboutFrom);
    Panel1->SetColorTo(colours.aboutTo);
    const auto paint = [](QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
        QPalette own; // only the role set here is the widget's own
        own.setColor(role, colour);
        widget->setPalette(own);
    };
    for (QLabel* label : {LabNotice, LabPlace}) {
        paint(label, QPalette::WindowText, colours.aboutText);
    }
    for (QLabel* link : {LabURL, LabMail}) {
        paint(link, QPalette::WindowText, colours.aboutLink);
    }
    paint(BtnOk, QPalette::ButtonText, colours.aboutText);
}

void TAboutBox::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) {
        ApplyColours();
    }
}

void TAboutBox::FormCreate(const QString& programPath, const QString& version) {
    const QFileInfo program(programPath);
    const QString title = Title(program.fileName(), program.exists() ? version : QString());
    for (QLabel* label : {LabelVersion, LabelVersionBlanc}) {
        label->setText(title);
        label->adjustSize();
    }
    const int left = (kWidth - LabelVersion->width()) / 2;
    LabelVersion->move(left, 10);
    LabelVersionBlanc->move(left - 1, 9);
}

void TAboutBox::LabMailClick() {
    Desktop().OpenUrl(QUrl(QStringLiteral("mailto:") + LabMail->text()));
}

void TAboutBox::LabURLClick() {
    Desktop().OpenUrl(QUrl(QString::fromLatin1(kWebAddress)));
}

void TAboutBox::BtnOkClick() {
    accept();
}

void TAboutBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace quorvel
