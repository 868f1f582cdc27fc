// The boxes a placeholder's value is typed in (a whole number, a text, a number)
// and the button that enters it. The window makes and places the four controls;
// the panel shows the box a placeholder needs and hands over what was typed.
// Escape in a box closes it without writing.
#pragma once

#include "engine/catalogue.hpp"

#include <QObject>
#include <QString>

class QLineEdit;
class QToolButton;

namespace quorvel {

class TEditNumber;

class ParameterPanel final : public QObject {
    Q_OBJECT
public:
    ParameterPanel(TEditNumber* integer, QLineEdit* string, QLineEdit* number, QToolButton* ok,
                   QObject* parent);

    // The box shown; the number box when none is.
    QLineEdit* Box() const;

public slots:
    // Shows the box for `kind` alone, holding `shown` selected, and the button.
    void Open(quorvel::PlaceholderKind kind, const QString& shown);
    // Hides the boxes and the button.
    void Close();
    // Hides the button alone, the box shown staying: a placeholder that takes no
    // known kind of value was clicked.
    void HideButton();
    // Hands over the value of the box shown, whatever characters it holds (the
    // line stores it encoded, engine/value_code.hpp).
    void enter();

signals:
    void valueEntered(const QString& value);
    // Escape closed the box: nothing is written.
    void cancelled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TEditNumber* integer_;
    QLineEdit* string_;
    QLineEdit* number_;
    QToolButton* ok_;
};

} // namespace quorvel
