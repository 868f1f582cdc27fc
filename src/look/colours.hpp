// The colours of the window for the palette in use: the classic look, cream and
// sky blue, under a light palette, and a dark look of the same shape under a dark
// one, in which every text stands out from what is behind it at least as WCAG AA
// asks (4.5:1).
#pragma once

#include <QColor>
#include <QPalette>
#include <QString>
#include <vector>

namespace quorvel {

struct LookColours {
    bool dark = false;
    // The fade of the panel around the filter and "Exemple :" (the panel of the
    // parameter boxes fades the other way), and the labels on it.
    QColor panelFrom, panelTo, panelText;
    QColor panelButtonText, panelButtonDisabledText; // "Voir" and OK on the panels
    QColor commandBase, commandText;                 // the command tree
    QColor scriptBase, scriptText, link, emptyValue; // the script view
    QColor gridBase, gridText;                       // the file grid
    QColor gridSelected, gridSelectedLight, gridSelectedText;
    QColor gridHeaderFrame;
    QColor listBase, listText, conflict, warning;            // the list under "Exemple :" and its marks
    QColor traceText, traceBase, traceChanged, traceRemoved; // the tooltip that traces a name
    QColor menuBase, menuText, menuGrey, menuShadow, menuSilver, menuHighlight, menuFrame, menuIconColumn;
    QColor menuBarText;
    // The highlighted lines of the trees, the list and the script view.
    QColor selection, selectionText;
    // The About box: its fade, its texts and its two links.
    QColor aboutFrom, aboutTo, aboutText, aboutLink;
};

// A palette whose window is darker than its text.
bool IsDarkPalette(const QPalette& palette);
LookColours ColoursFor(const QPalette& palette);
// The same, with the tooltips' colours from `toolTips`, the palette the tooltips
// are drawn with.
LookColours ColoursFor(const QPalette& palette, const QPalette& toolTips);

// The contrast ratio of two colours as WCAG 2 defines it: 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b);

// A text colour and what is behind it, named for messages.
struct ColourPair {
    QString what;
    QColor text;
    QColor back;
};
// Every text and background pair the window paints with these colours (both
// ends of each fade).
std::vector<ColourPair> TextPairs(const LookColours& colours);

} // namespace quorvel
