#include "editor/edit_number.hpp"

#include <QKeyEvent>
#include <QLocale>
#include <cmath>

namespace quorvel {

TEditNumber::TEditNumber(QWidget* parent) : QLineEdit(parent) {}

QChar TEditNumber::DecimalSeparator() const {
    if (!separator_.isNull()) {
        return separator_;
    }
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.front();
}

bool TEditNumber::Filter(QChar& c) const {
    const QString text = this->text();
    const int caret = hasSelectedText() ? selectionStart() : cursorPosition();
    const QChar before = caret > 0 && caret <= text.size() ? text[caret - 1] : QChar();
    const QChar sep = DecimalSeparator();
    const char16_t u = c.unicode();
    if (u == 8 || u == 13) {
        return true;
    }
    const bool digit = u >= u'0' && u <= u'9';
    if (entier_) {
        if (!digit && u != u'-') {
            return false;
        }
    } else {
        if (!digit && u != u'+' && u != u',' && u != u'-' && u != u'.' && u != u'E' && u != u'e') {
            return false;
        }
        if (u == u'.' || u == u',') {
            c = sep;
        }
        if (u == u'E' || u == u'e') {
            if (text.isEmpty() || text.endsWith(QLatin1Char('+')) || text.endsWith(QLatin1Char('-')) ||
                text.contains(QLatin1Char('e')) || text.contains(QLatin1Char('E'))) {
                return false;
            }
        }
        if (u == u'+' && (text.isEmpty() || (before != QLatin1Char('E') && before != QLatin1Char('e')))) {
            return false;
        }
        if (c == sep && text.contains(sep)) {
            return false;
        }
    }
    if (u == u'-' && !text.isEmpty() && caret != 0 && before != QLatin1Char('E') &&
        before != QLatin1Char('e')) {
        return false;
    }
    return true;
}

double TEditNumber::Value() const {
    const QString text = this->text();
    if (text.isEmpty()) {
        return 0.0;
    }
    QString normal = text;
    normal.replace(DecimalSeparator(), QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(normal, &ok);
    if (!ok) {
        throw std::invalid_argument(QStringLiteral("'%1' n'est pas une valeur en virgule flottante correcte")
                                        .arg(text)
                                        .toStdString());
    }
    return entier_ ? std::trunc(value) : value;
}

void TEditNumber::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (typed.size() != 1) {
        QLineEdit::keyPressEvent(event); // keys that type nothing: moves, Delete...
        return;
    }
    QChar c = typed.front();
    if (c.unicode() == 127) {
        QLineEdit::keyPressEvent(event); // the Delete key
        return;
    }
    if (c.unicode() < 32 && c.unicode() != 8 && c.unicode() != 13) {
        return; // control characters, the clipboard shortcuts among them
    }
    if (!Filter(c)) {
        return;
    }
    if (c == typed.front()) {
        QLineEdit::keyPressEvent(event);
    } else {
        insert(QString(c));
    }
}

} // namespace quorvel
