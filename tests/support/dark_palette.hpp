// A dark palette as a desktop's dark scheme gives it to Fusion, and a way to run a
// piece of a test under it with the Fusion style.
#pragma once

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace quorvel::test {

inline QPalette DarkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(0x2A, 0x2A, 0x2A));
    p.setColor(QPalette::AlternateBase, QColor(0x42, 0x42, 0x42));
    p.setColor(QPalette::ToolTipBase, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::ToolTipText, Qt::white);
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Light, QColor(0x50, 0x50, 0x50));
    p.setColor(QPalette::Mid, QColor(0x40, 0x40, 0x40));
    p.setColor(QPalette::Dark, QColor(0x20, 0x20, 0x20));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    return p;
}

// The application under the Fusion style and a dark palette for the life of the
// object; the style and palette it had come back afterwards.
class DarkFusion {
public:
    DarkFusion() : style_(QApplication::style()->name()), palette_(QApplication::palette()) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(DarkPalette());
    }
    ~DarkFusion() {
        QApplication::setStyle(QStyleFactory::create(style_));
        QApplication::setPalette(palette_);
    }
    DarkFusion(const DarkFusion&) = delete;
    DarkFusion& operator=(const DarkFusion&) = delete;

private:
    QString style_;
    QPalette palette_;
};

} // namespace quorvel::test
