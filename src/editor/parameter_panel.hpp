// The boxes a placeholder's value is typed in (a whole number, a text, a number, a
// search pattern) and the button that enters it. The window makes and places the
// controls; the panel shows the box a placeholder needs and hands over what was
// typed. Escape in a box closes it without writing.
//
// The pattern box compiles the pattern as it is typed and says under it why it
// does not compile; OK is refused until it does.
#pragma once

#include "engine/catalogue.hpp"
#include "engine/errors.hpp"

#include <QObject>
#include <QString>
#include <functional>

class QLabel;
class QLineEdit;
class QToolButton;

namespace quorvel {

class TEditNumber;

struct ParameterBoxes {
    TEditNumber* integer;
    QLineEdit* string;
    QLineEdit* number;
    QLineEdit* pattern;
    QLabel* patternProblem; // under the pattern box: why it does not compile
    QToolButton* ok;
};

class ParameterPanel final : public QObject {
    Q_OBJECT
public:
    ParameterPanel(const ParameterBoxes& boxes, QObject* parent);

    // How a pattern's problem is said, in the language shown.
    void SetProblemText(std::function<QString(const PatternProblem&)> text);
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
    // line stores it encoded, engine/value_code.hpp); a pattern only once it
    // compiles.
    void enter();

signals:
    void valueEntered(const QString& value);
    // Escape closed the box: nothing is written.
    void cancelled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Compiles the pattern box's text: says why it fails, and whether OK may enter it.
    bool CheckPattern();

    ParameterBoxes boxes_;
    std::function<QString(const PatternProblem&)> problemText_;
};

} // namespace quorvel
