#include "editor/script_html.hpp"

#include "editor/qt_text.hpp"
#include "engine/primitives.hpp"
#include "engine/search.hpp"

namespace quorvel {

std::vector<PlaceholderSlot> PlaceholderSlots(TextView text) {
    std::vector<PlaceholderSlot> placeholders;
    std::size_t open = 0;
    std::size_t close = 0;
    for (;;) {
        open = FindChar(text, open, U'[');
        close = FindChar(text, close, U']');
        if (open == TextView::npos || close == TextView::npos) {
            break;
        }
        if (close > open) {
            placeholders.push_back({open, close});
        }
        ++open;
        ++close;
    }
    return placeholders;
}

Text ShownText(TextView placeholder) {
    if (PosOf(U"=", placeholder) == 0) {
        return Text(SubText(placeholder, 2, Length(placeholder) - 2));
    }
    return Text(StrLeft(NthField(placeholder, U"=", 2), -1));
}

Text EmptyValueLabel(TextView placeholder) {
    TextView label = placeholder.substr(1, placeholder.size() - 2);
    label = label.substr(0, label.find(U'='));
    return label.empty() ? Text(U"?") : Text(label);
}

std::size_t LineTextOffset(TextView line) {
    const std::size_t bar = line.find(U'|');
    return bar == TextView::npos ? line.size() : bar + 1;
}

namespace {

QString Escaped(TextView text) {
    return ToQString(text).toHtmlEscaped();
}

} // namespace

QString ScriptHtmlLine(TextView line, std::size_t index) {
    const TextView text = LineText(line);
    const QString name = QString::number(index);
    QString html;
    std::size_t done = 0;
    for (const PlaceholderSlot& slot : PlaceholderSlots(text)) {
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

QStringList BuildHtmlLines(const ScriptLines& script) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(script.size()));
    for (std::size_t i = 0; i < script.size(); ++i) {
        lines.push_back(ScriptHtmlLine(script[i], i));
    }
    return lines;
}

} // namespace quorvel
