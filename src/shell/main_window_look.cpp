// The main window's colours: the classic cream and sky blue under a light palette,
// a dark look of the same shape under a dark one (look/colours.hpp), taken again
// whenever the palette changes while the window is open.
#include "browser/file_grid.hpp"
#include "editor/command_tree.hpp"
#include "editor/example_list.hpp"
#include "editor/script_view.hpp"
#include "look/colours.hpp"
#include "look/t_panel.hpp"
#include "shell/main_window.hpp"

#include <QApplication>
#include <QEvent>
#include <QToolTip>
#include <initializer_list>

namespace quorvel {

namespace {

struct Role {
    QPalette::ColorRole role;
    QColor colour;
    QPalette::ColorGroup group = QPalette::All;
};

// Gives `widget` the colours `roles` and takes every other role from its parent.
// A colour that is already the palette's own is left to the palette, so that the
// classic look under a light palette is the palette's, disabled colours included;
// an inactive window keeps its texts as readable as an active one.
void Colour(QWidget* widget, const QPalette& natural, std::initializer_list<Role> roles) {
    if (widget == nullptr) {
        return;
    }
    QPalette own; // no role of its own yet
    for (const Role& r : roles) {
        const QPalette::ColorGroup group = r.group == QPalette::All ? QPalette::Active : r.group;
        if (natural.color(group, r.role) != r.colour) {
            own.setColor(r.group, r.role, r.colour);
        }
        // Some styles grey the texts of a window that is not the active one; on the
        // fixed sky blue and cream that grey cannot be read.
        if (r.group == QPalette::All && natural.color(QPalette::Inactive, r.role) != r.colour) {
            own.setColor(QPalette::Inactive, r.role, r.colour);
        }
    }
    widget->setPalette(own);
}

// The palette the tooltips are drawn with: their own where it was set, the
// application's elsewhere.
QPalette ToolTipPalette() {
    return QToolTip::palette().resolve(QApplication::palette());
}

} // namespace

void MainWindow::ApplyColours() {
    const QPalette natural = QApplication::palette(this);
    const LookColours c = ColoursFor(natural, ToolTipPalette());

    // Under a dark palette, a highlight its text stands out from, for every control.
    QPalette own;
    if (c.dark && c.selection != natural.color(QPalette::Highlight)) {
        own.setColor(QPalette::Highlight, c.selection);
        own.setColor(QPalette::HighlightedText, c.selectionText);
    }
    setPalette(own);

    const auto panel = [this](const char* name) { return qobject_cast<T_Panel*>(FindComponent(name)); };
    const auto widget = [this](const char* name) { return qobject_cast<QWidget*>(FindComponent(name)); };
    const QColor face = natural.color(QPalette::Button);
    for (const char* plain : {"Panel1", "Panel2", "Panel4"}) {
        if (T_Panel* p = panel(plain)) {
            p->SetColor(face);
            p->SetColorTo(face);
        }
    }
    // The two side panels fade between the same colours, in opposite directions.
    if (T_Panel* voir = panel("PanelVOIR")) {
        voir->SetColor(c.panelFrom);
        voir->SetColorTo(c.panelTo);
    }
    if (T_Panel* bas = panel("PanelBAS")) {
        bas->SetColor(c.panelTo);
        bas->SetColorTo(c.panelFrom);
    }
    // The labels and the captions of the check boxes on the panel.
    for (const char* label : {"Label1", "LabExemple", "CheckSousDossiers", "CheckDossiers"}) {
        Colour(widget(label), natural, {{QPalette::WindowText, c.panelText}});
    }
    for (const char* button : {"BtnVoir", "BtnOk"}) {
        Colour(widget(button), natural,
               {{QPalette::ButtonText, c.panelButtonText, QPalette::Active},
                {QPalette::ButtonText, c.panelButtonText, QPalette::Inactive},
                {QPalette::ButtonText, c.panelButtonDisabledText, QPalette::Disabled}});
    }

    // The command tree: bold on sky blue.
    Colour(TreeViewCommande, natural, {{QPalette::Base, c.commandBase}, {QPalette::Text, c.commandText}});

    // The script view: sky blue, its links blue, empty values grey.
    Colour(HTMLViewer, natural, {{QPalette::Base, c.scriptBase}, {QPalette::Text, c.scriptText}});
    HTMLViewer->SetColours({c.link, c.emptyValue});

    StringGridFiles->SetColours(
        {c.gridBase, c.gridText, c.gridSelected, c.gridSelectedLight, c.gridSelectedText, c.gridHeaderFrame});

    Colour(MemoExemple, natural, {{QPalette::Base, c.listBase}, {QPalette::Text, c.listText}});
    MemoExemple->SetColours({c.conflict, c.warning, c.traceText, {c.traceChanged, c.traceRemoved}});
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    const bool built = parameters_ != nullptr; // made once every control is
    if (built &&
        (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)) {
        ApplyColours();
    }
}

} // namespace quorvel
