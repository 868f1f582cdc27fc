// The boxes a placeholder's value is typed in (a whole number, a text, a number, a
// search pattern, a template) and the button that enters it. The window makes and
// places the controls; the panel shows the box a placeholder needs and hands over
// what was typed. Escape in a box closes it without writing.
//
// The pattern box compiles the pattern as it is typed and says under it why it
// does not compile; the template box reads its template so, and has a menu that
// puts a token where the cursor is. OK is refused until the box's text can serve.
#pragma once

#include "engine/catalogue.hpp"
#include "engine/errors.hpp"

#include <QObject>
#include <QString>
#include <QStringList>
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
    QLineEdit* templateBox;
    QToolButton* templateTokens; // under the template box: its menu of tokens
    QLabel* templateProblem;     // under that: why the template cannot be read
};

// The tokens the template box's menu offers, in its order.
QStringList TemplateTokens();

class ParameterPanel final : public QObject {
    Q_OBJECT
public:
    ParameterPanel(const ParameterBoxes& boxes, QObject* parent);

    // How a pattern's problem is said, in the language shown.
    void SetProblemText(std::function<QString(const PatternProblem&)> text);
    // How a template's problem is said, in the language shown.
    void SetTemplateProblemText(std::function<QString(const TemplateProblem&)> text);
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
    // compiles, a template once it can be read.
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
    // Reads the template box's text: says why it fails, and whether OK may enter it.
    bool CheckTemplate();
    // Shows the pattern's or the template's helpers under `box`, hides the others.
    void ShowHelpersOf(const QLineEdit* box);

    ParameterBoxes boxes_;
    std::function<QString(const PatternProblem&)> problemText_;
    std::function<QString(const TemplateProblem&)> templateProblemText_;
};

} // namespace quorvel
