#include "editor/parameter_panel.hpp"

#include "bridge/qt_text.hpp"
#include "editor/edit_number.hpp"
#include "engine/pattern.hpp"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <array>
#include <limits>

namespace quorvel {

namespace {

std::array<QLineEdit*, 4> AllBoxes(const ParameterBoxes& b) {
    return {b.integer, b.string, b.number, b.pattern};
}

} // namespace

ParameterPanel::ParameterPanel(const ParameterBoxes& boxes, QObject* parent)
    : QObject(parent), boxes_(boxes), problemText_([](const PatternProblem& p) {
          return QStringLiteral("%1 (%2)").arg(QString::fromStdString(p.message)).arg(p.position);
      }) {
    for (QLineEdit* box : AllBoxes(boxes_)) {
        box->setMaxLength(std::numeric_limits<int>::max()); // a value may be as long as the user likes
        connect(box, &QLineEdit::returnPressed, this, &ParameterPanel::enter);
        box->installEventFilter(this);
    }
    boxes_.patternProblem->setWordWrap(true);
    boxes_.patternProblem->hide();
    connect(boxes_.pattern, &QLineEdit::textChanged, this, &ParameterPanel::CheckPattern);
    connect(boxes_.ok, &QToolButton::clicked, this, &ParameterPanel::enter);
}

void ParameterPanel::SetProblemText(std::function<QString(const PatternProblem&)> text) {
    problemText_ = std::move(text);
    if (boxes_.pattern->isVisible()) {
        CheckPattern();
    }
}

void ParameterPanel::Open(PlaceholderKind kind, const QString& shown) {
    QLineEdit* box = kind == PlaceholderKind::Integer   ? static_cast<QLineEdit*>(boxes_.integer)
                     : kind == PlaceholderKind::Number  ? boxes_.number
                     : kind == PlaceholderKind::Pattern ? boxes_.pattern
                                                        : boxes_.string;
    for (QLineEdit* each : AllBoxes(boxes_)) {
        each->setVisible(each == box);
    }
    boxes_.ok->show();
    box->setText(shown);
    if (box == boxes_.pattern) {
        boxes_.patternProblem->show();
        CheckPattern();
    } else {
        boxes_.patternProblem->hide();
        boxes_.ok->setEnabled(true);
    }
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
}

void ParameterPanel::Close() {
    for (QLineEdit* each : AllBoxes(boxes_)) {
        each->hide();
    }
    boxes_.patternProblem->hide();
    boxes_.ok->hide();
}

void ParameterPanel::HideButton() {
    boxes_.ok->hide();
}

bool ParameterPanel::CheckPattern() {
    const Pattern pattern(FromQString(boxes_.pattern->text()));
    const auto& problem = pattern.Problem();
    boxes_.patternProblem->setText(problem ? problemText_(*problem) : QString());
    boxes_.ok->setEnabled(!problem);
    return !problem;
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
    for (QLineEdit* each : AllBoxes(boxes_)) {
        if (each->isVisible()) {
            return each;
        }
    }
    return boxes_.number;
}

void ParameterPanel::enter() {
    QLineEdit* box = Box();
    if (box == boxes_.pattern && !CheckPattern()) {
        box->setFocus();
        return;
    }
    emit valueEntered(box->text());
}

} // namespace quorvel
