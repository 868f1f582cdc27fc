#include "editor/parameter_panel.hpp"

#include "bridge/qt_text.hpp"
#include "editor/edit_number.hpp"
#include "engine/name_template.hpp"
#include "engine/pattern.hpp"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <array>
#include <limits>

namespace quorvel {

namespace {

std::array<QLineEdit*, 5> AllBoxes(const ParameterBoxes& b) {
    return {b.integer, b.string, b.number, b.pattern, b.templateBox};
}

} // namespace

QStringList TemplateTokens() {
    return {QStringLiteral("{name}"),
            QStringLiteral("{folder}"),
            QStringLiteral("{n:001}"),
            QStringLiteral("{n:1:1:folder}"),
            QStringLiteral("{taken:%Y-%m-%d}"),
            QStringLiteral("{taken,modified:%Y%m%d_%H%M%S}"),
            QStringLiteral("{modified:%Y-%m-%d}"),
            QStringLiteral("{make}"),
            QStringLiteral("{model}"),
            QStringLiteral("{lens}"),
            QStringLiteral("{width}x{height}"),
            QStringLiteral("{artist}"),
            QStringLiteral("{album}"),
            QStringLiteral("{title}"),
            QStringLiteral("{genre}"),
            QStringLiteral("{year}"),
            QStringLiteral("{track:2}"),
            QStringLiteral("{disc}")};
}

ParameterPanel::ParameterPanel(const ParameterBoxes& boxes, QObject* parent)
    : QObject(parent), boxes_(boxes), problemText_([](const PatternProblem& p) {
          return QStringLiteral("%1 (%2)").arg(QString::fromStdString(p.message)).arg(p.position);
      }),
      templateProblemText_([](const TemplateProblem& p) {
          return QStringLiteral("%1 (%2)").arg(QString::fromStdString(p.Message())).arg(p.position);
      }) {
    for (QLineEdit* box : AllBoxes(boxes_)) {
        box->setMaxLength(std::numeric_limits<int>::max()); // a value may be as long as the user likes
        connect(box, &QLineEdit::returnPressed, this, &ParameterPanel::enter);
        box->installEventFilter(this);
    }
    boxes_.patternProblem->setWordWrap(true);
    boxes_.patternProblem->hide();
    connect(boxes_.pattern, &QLineEdit::textChanged, this, &ParameterPanel::CheckPattern);
    boxes_.templateProblem->setWordWrap(true);
    boxes_.templateProblem->hide();
    boxes_.templateTokens->hide();
    connect(boxes_.templateBox, &QLineEdit::textChanged, this, &ParameterPanel::CheckTemplate);
    // A token chosen goes where the cursor is, in place of what is selected.
    auto* tokens = new QMenu(boxes_.templateTokens);
    for (const QString& token : TemplateTokens()) {
        connect(tokens->addAction(token), &QAction::triggered, this, [this, token] {
            boxes_.templateBox->insert(token);
            boxes_.templateBox->setFocus(Qt::OtherFocusReason);
        });
    }
    boxes_.templateTokens->setMenu(tokens);
    boxes_.templateTokens->setPopupMode(QToolButton::InstantPopup);
    connect(boxes_.ok, &QToolButton::clicked, this, &ParameterPanel::enter);
}

void ParameterPanel::SetProblemText(std::function<QString(const PatternProblem&)> text) {
    problemText_ = std::move(text);
    if (boxes_.pattern->isVisible()) {
        CheckPattern();
    }
}

void ParameterPanel::SetTemplateProblemText(std::function<QString(const TemplateProblem&)> text) {
    templateProblemText_ = std::move(text);
    if (boxes_.templateBox->isVisible()) {
        CheckTemplate();
    }
}

void ParameterPanel::Open(PlaceholderKind kind, const QString& shown) {
    QLineEdit* box = kind == PlaceholderKind::Integer    ? static_cast<QLineEdit*>(boxes_.integer)
                     : kind == PlaceholderKind::Number   ? boxes_.number
                     : kind == PlaceholderKind::Pattern  ? boxes_.pattern
                     : kind == PlaceholderKind::Template ? boxes_.templateBox
                                                         : boxes_.string;
    for (QLineEdit* each : AllBoxes(boxes_)) {
        each->setVisible(each == box);
    }
    boxes_.ok->show();
    box->setText(shown);
    ShowHelpersOf(box);
    if (box == boxes_.pattern) {
        CheckPattern();
    } else if (box == boxes_.templateBox) {
        CheckTemplate();
    } else {
        boxes_.ok->setEnabled(true);
    }
    box->setFocus(Qt::MouseFocusReason);
    box->selectAll();
}

void ParameterPanel::ShowHelpersOf(const QLineEdit* box) {
    boxes_.patternProblem->setVisible(box == boxes_.pattern);
    boxes_.templateTokens->setVisible(box == boxes_.templateBox);
    boxes_.templateProblem->setVisible(box == boxes_.templateBox);
}

void ParameterPanel::Close() {
    for (QLineEdit* each : AllBoxes(boxes_)) {
        each->hide();
    }
    ShowHelpersOf(nullptr);
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

bool ParameterPanel::CheckTemplate() {
    const NameTemplate read(FromQString(boxes_.templateBox->text()));
    const auto& problem = read.Problem();
    boxes_.templateProblem->setText(problem ? templateProblemText_(*problem) : QString());
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
    if ((box == boxes_.pattern && !CheckPattern()) || (box == boxes_.templateBox && !CheckTemplate())) {
        box->setFocus();
        return;
    }
    emit valueEntered(box->text());
}

} // namespace quorvel
