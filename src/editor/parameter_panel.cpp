#include "editor/parameter_panel.hpp"

#include "editor/edit_number.hpp"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <limits>

namespace quorvel {

ParameterPanel::ParameterPanel(TEditNumber* integer, QLineEdit* string, QLineEdit* number, QToolButton* ok,
                               QObject* parent)
    : QObject(parent), integer_(integer), string_(string), number_(number), ok_(ok) {
    for (QLineEdit* box : {static_cast<QLineEdit*>(integer_), string_, number_}) {
        box->setMaxLength(std::numeric_limits<int>::max()); // a value may be as long as the user likes
        connect(box, &QLineEdit::returnPressed, this, &ParameterPanel::enter);
        box->installEventFilter(this);
    }
    connect(ok_, &QToolButton::clicked, this, &ParameterPanel::enter);
}

void ParameterPanel::Open(PlaceholderKind kind, const QString& shown) {
    QLineEdit* box = kind == PlaceholderKind::Integer  ? static_cast<QLineEdit*>(integer_)
                     : kind == PlaceholderKind::Number ? number_
                                                       : string_;
    for (QLineEdit* each : {static_cast<QLineEdit*>(integer_), string_, number_}) {
        each->setVisible(each == box);
    }
    ok_->show();
    box->setText(shown);
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
}

void ParameterPanel::Close() {
    for (QWidget* each : {static_cast<QWidget*>(integer_), static_cast<QWidget*>(string_),
                          static_cast<QWidget*>(number_), static_cast<QWidget*>(ok_)}) {
        each->hide();
    }
}

void ParameterPanel::HideButton() {
    ok_->hide();
}

bool ParameterPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        (static_cast<QKeyEvent*>(event)->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        Close();
        emit cancelled();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QLineEdit* ParameterPanel::Box() const {
    for (QLineEdit* each : {static_cast<QLineEdit*>(integer_), string_, number_}) {
        if (each->isVisible()) {
            return each;
        }
    }
    return number_;
}

void ParameterPanel::enter() {
    emit valueEntered(Box()->text());
}

} // namespace quorvel
