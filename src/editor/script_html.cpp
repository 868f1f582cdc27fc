#include "editor/script_html.hpp"

#include "bridge/qt_text.hpp"

namespace quorvel {

namespace {

QString Escaped(TextView text) {
    return ToQString(text).toHtmlEscaped();
}

} // namespace

QString ScriptHtmlLine(const ScriptLine& line, std::size_t index) {
    const TextView text = line.LineText();
    const QString name = QString::number(index);
    QString html;
    std::size_t done = 0;
    for (const PlaceholderSlot& slot : line.Slots()) {
        const TextView placeholder = slot.In(text);
        html += Escaped(text.substr(done, slot.open - done));
        const Text shown = ShownText(placeholder);
        html += QStringLiteral("<a Name=\"") + name + QStringLiteral("\" href=\"file://") +
                Escaped(placeholder) + QStringLiteral("\">");
        if (shown.empty()) {
            // An empty value: the placeholder's name, so that the link can be seen and clicked.
            html += QStringLiteral("<i><font color=\"#808080\">") + Escaped(EmptyValueLabel(placeholder)) +
                    QStringLiteral("</font></i>");
        } else {
            html += Escaped(shown);
        }
        html += QStringLiteral("</a>");
        done = slot.close + 1;
    }
    html += Escaped(text.substr(std::min(done, text.size())));
    html += QStringLiteral("<br>");
    return html;
}

QStringList BuildHtmlLines(const std::vector<ScriptLine>& script) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(script.size()));
    for (std::size_t i = 0; i < script.size(); ++i) {
        lines.push_back(ScriptHtmlLine(script[i], i));
    }
    return lines;
}

} // namespace quorvel
