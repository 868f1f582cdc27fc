#include "look/colours.hpp"

#include <algorithm>
#include <cmath>

namespace quorvel {

namespace {

double Channel(int value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * Channel(rgb.red()) + 0.7152 * Channel(rgb.green()) + 0.0722 * Channel(rgb.blue());
}

constexpr double kReadable = 4.5;

// `text` when it stands out from `back` enough, else the near-white or
// near-black that stands out more.
QColor Readable(const QColor& text, const QColor& back) {
    if (ContrastRatio(text, back) >= kReadable) {
        return text;
    }
    const QColor light(0xF0, 0xF0, 0xF0);
    const QColor darkText(0x10, 0x10, 0x10);
    return ContrastRatio(light, back) >= ContrastRatio(darkText, back) ? light : darkText;
}

// The tooltip that traces a name: its own text on its own base, the changed part
// behind the text in a gold that suits the text, the mark of a cut in red.
void SetTraceColours(LookColours& c, const QPalette& toolTips) {
    c.traceBase = toolTips.color(QPalette::Inactive, QPalette::ToolTipBase);
    c.traceText = Readable(toolTips.color(QPalette::Inactive, QPalette::ToolTipText), c.traceBase);
    const bool lightText = Luminance(c.traceText) > 0.5;
    c.traceChanged = lightText ? QColor(0x6B, 0x55, 0x10) : QColor(0xFF, 0xE0, 0x8A);
    c.traceRemoved = Readable(lightText ? QColor(0xFF, 0x7B, 0x7B) : QColor(0xC0, 0x00, 0x00), c.traceBase);
}

LookColours Classic(const QPalette& palette) {
    const QColor cream(0xFF, 0xFB, 0xF0);
    const QColor skyBlue(0xA6, 0xCA, 0xF0);
    const QColor menuHighlight(0xBD, 0xCF, 0xEC);
    LookColours c;
    c.dark = false;
    c.panelFrom = cream;
    c.panelTo = skyBlue;
    c.panelText = palette.color(QPalette::WindowText);
    c.panelButtonText = palette.color(QPalette::ButtonText);
    c.panelButtonDisabledText = palette.color(QPalette::Disabled, QPalette::ButtonText);
    c.commandBase = skyBlue;
    c.commandText = palette.color(QPalette::Text);
    c.scriptBase = skyBlue;
    c.scriptText = palette.color(QPalette::ButtonText);
    c.link = QColor(0, 0, 0xFF);
    c.emptyValue = QColor(0x80, 0x80, 0x80);
    c.gridBase = Qt::white;
    c.gridText = Qt::black;
    c.gridSelected = QColor(115, 201, 240);
    c.gridSelectedLight = QColor(135, 221, 245);
    c.gridSelectedText = Qt::white;
    c.gridHeaderFrame = Qt::white;
    c.listBase = palette.color(QPalette::Base);
    c.listText = palette.color(QPalette::Text);
    c.conflict = Qt::red;
    c.warning = QColor(0xB0, 0x5A, 0x00);
    c.menuBase = palette.color(QPalette::Active, QPalette::Base);
    c.menuText = Qt::black;
    c.menuGrey = QColor(0x80, 0x80, 0x80);
    c.menuShadow = c.menuGrey;
    c.menuSilver = QColor(0xC0, 0xC0, 0xC0);
    c.menuHighlight = menuHighlight;
    c.menuFrame = QColor(0x31, 0x6A, 0xC5);
    c.menuIconColumn = menuHighlight;
    c.menuBarText = palette.color(QPalette::ButtonText);
    c.selection = palette.color(QPalette::Highlight);
    c.selectionText = palette.color(QPalette::HighlightedText);
    c.aboutFrom = QColor(0xEA, 0x95, 0x4E);
    c.aboutTo = Qt::white;
    c.aboutText = Qt::black;
    c.aboutLink = Qt::blue;
    return c;
}

LookColours Dark(const QPalette& palette) {
    const QColor light(0xF0, 0xF0, 0xF0);
    const QColor deepBlue(0x1C, 0x2E, 0x44);
    LookColours c;
    c.dark = true;
    c.panelFrom = QColor(0x2B, 0x3A, 0x4A);
    c.panelTo = deepBlue;
    c.panelText = light;
    c.panelButtonText = light;
    c.panelButtonDisabledText = QColor(0x6F, 0x7F, 0x90); // dimmed, as a disabled button is
    c.commandBase = deepBlue;
    c.commandText = light;
    c.scriptBase = deepBlue;
    c.scriptText = light;
    c.link = QColor(0x8C, 0xC4, 0xFF);
    c.emptyValue = QColor(0xA8, 0xB4, 0xC0);
    c.gridBase = palette.color(QPalette::Base);
    c.gridText = Readable(palette.color(QPalette::Text), c.gridBase);
    c.gridSelected = QColor(0x1F, 0x5F, 0x99);
    c.gridSelectedLight = QColor(0x2A, 0x72, 0xB5);
    c.gridSelectedText = Qt::white;
    c.gridHeaderFrame = palette.color(QPalette::Mid);
    c.listBase = palette.color(QPalette::Base);
    c.listText = Readable(palette.color(QPalette::Text), c.listBase);
    c.conflict = QColor(0xFF, 0x7B, 0x7B);
    c.warning = QColor(0xFF, 0xB3, 0x5C);
    c.menuBase = palette.color(QPalette::Active, QPalette::Base);
    c.menuText = Readable(palette.color(QPalette::Active, QPalette::Text), c.menuBase);
    c.menuGrey = QColor(0x9A, 0x9A, 0x9A);
    c.menuShadow = QColor(0x14, 0x20, 0x2E);
    c.menuSilver = QColor(0x4A, 0x4A, 0x4A);
    c.menuHighlight = QColor(0x2E, 0x4A, 0x70);
    c.menuFrame = QColor(0x5A, 0x8F, 0xD8);
    c.menuIconColumn = QColor(0x2B, 0x3A, 0x4A);
    c.menuBarText = Readable(palette.color(QPalette::ButtonText), palette.color(QPalette::Button));
    // The desktop's highlight when its text stands out from it, else a deep blue.
    c.selection = palette.color(QPalette::Highlight);
    c.selectionText = palette.color(QPalette::HighlightedText);
    if (ContrastRatio(c.selectionText, c.selection) < kReadable) {
        c.selection = QColor(0x1F, 0x5F, 0x99);
        c.selectionText = Qt::white;
    }
    c.aboutFrom = QColor(0x5C, 0x34, 0x14);
    c.aboutTo = QColor(0x23, 0x23, 0x23);
    c.aboutText = light;
    c.aboutLink = QColor(0x8C, 0xC4, 0xFF);
    // The marks and the links keep their hue; only where the desktop's base is
    // unusually light do they fall back to plain text.
    c.conflict = Readable(c.conflict, c.listBase);
    c.warning = Readable(c.warning, c.listBase);
    return c;
}

} // namespace

bool IsDarkPalette(const QPalette& palette) {
    return Luminance(palette.color(QPalette::Window)) < Luminance(palette.color(QPalette::WindowText));
}

LookColours ColoursFor(const QPalette& palette) {
    return ColoursFor(palette, palette);
}

LookColours ColoursFor(const QPalette& palette, const QPalette& toolTips) {
    LookColours c = IsDarkPalette(palette) ? Dark(palette) : Classic(palette);
    SetTraceColours(c, toolTips);
    return c;
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::vector<ColourPair> TextPairs(const LookColours& c) {
    return {
        {QStringLiteral("panel labels, top of the fade"), c.panelText, c.panelFrom},
        {QStringLiteral("panel labels, bottom of the fade"), c.panelText, c.panelTo},
        {QStringLiteral("panel buttons, top of the fade"), c.panelButtonText, c.panelFrom},
        {QStringLiteral("panel buttons, bottom of the fade"), c.panelButtonText, c.panelTo},
        {QStringLiteral("command tree"), c.commandText, c.commandBase},
        {QStringLiteral("script text"), c.scriptText, c.scriptBase},
        {QStringLiteral("script parameters"), c.link, c.scriptBase},
        {QStringLiteral("empty parameters"), c.emptyValue, c.scriptBase},
        {QStringLiteral("file grid"), c.gridText, c.gridBase},
        {QStringLiteral("selected files"), c.gridSelectedText, c.gridSelected},
        {QStringLiteral("selected files under the grid's highlight"), c.gridSelectedText,
         c.gridSelectedLight},
        {QStringLiteral("new names"), c.listText, c.listBase},
        {QStringLiteral("names in conflict"), c.conflict, c.listBase},
        {QStringLiteral("names with a warning"), c.warning, c.listBase},
        {QStringLiteral("trace"), c.traceText, c.traceBase},
        {QStringLiteral("trace, changed part"), c.traceText, c.traceChanged},
        {QStringLiteral("trace, removed part"), c.traceRemoved, c.traceBase},
        {QStringLiteral("menu items"), c.menuText, c.menuBase},
        {QStringLiteral("menu item under the pointer"), c.menuText, c.menuHighlight},
        {QStringLiteral("menu bar item under the pointer"), c.menuBarText, c.menuHighlight},
        {QStringLiteral("highlighted lines"), c.selectionText, c.selection},
        {QStringLiteral("About box, top of the fade"), c.aboutText, c.aboutFrom},
        {QStringLiteral("About box, bottom of the fade"), c.aboutText, c.aboutTo},
        {QStringLiteral("About box links, top of the fade"), c.aboutLink, c.aboutFrom},
        {QStringLiteral("About box links, bottom of the fade"), c.aboutLink, c.aboutTo},
    };
}

} // namespace quorvel
