// A one-line edit box that lets through only what can make a number.
//
// In integer mode: digits, and "-" at the start. In decimal-number mode also the
// decimal separator (typed as "." or ","; once), "e"/"E" for an exponent (once,
// after a digit) and "+"/"-" just after it. Backspace and Enter always pass; other
// control characters are dropped. Text put in by the program or pasted is not
// checked.
#pragma once

#include <QLineEdit>
#include <stdexcept>

namespace quorvel {

class TEditNumber : public QLineEdit {
    Q_OBJECT
public:
    explicit TEditNumber(QWidget* parent = nullptr);

    bool Entier() const { return entier_; }
    void SetEntier(bool entier) { entier_ = entier; }

    // The system's decimal separator, unless a test fixes another.
    QChar DecimalSeparator() const;
    void SetDecimalSeparator(QChar separator) { separator_ = separator; }

    // Whether the typed character `c` passes the filter, and the character to insert.
    bool Filter(QChar& c) const;

    // The text read as a number: 0 when empty; truncated in integer mode. Throws
    // std::invalid_argument "'%s' n'est pas une valeur en virgule flottante correcte".
    double Value() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool entier_ = false;
    QChar separator_;
};

} // namespace quorvel
