#include "editor/trace_html.hpp"

#include <algorithm>

namespace quorvel {

namespace {

// The step's name, what the line put in highlighted.
QString StepHtml(const TraceStep& step, const TraceColours& colours) {
    const auto part = [&](qsizetype from, qsizetype count) {
        return step.name.mid(from, count).toHtmlEscaped();
    };
    const qsizetype from = std::clamp<qsizetype>(step.changedFrom, 0, step.name.size());
    const qsizetype length = std::clamp<qsizetype>(step.changedLength, 0, step.name.size() - from);
    QString html = part(0, from);
    if (length > 0) {
        html += QStringLiteral("<span style=\"background-color:%1\">").arg(colours.changed.name()) +
                part(from, length) + QStringLiteral("</span>");
    } else if (step.cut) {
        html += QStringLiteral("<span style=\"color:%1\">|</span>").arg(colours.removed.name());
    }
    return html + part(from + length, -1);
}

} // namespace

QString TraceHtml(const NameTrace& trace, const TraceColours& colours) {
    if (!trace.error.isEmpty()) {
        return trace.error.toHtmlEscaped();
    }
    QString html = QStringLiteral("<p style=\"white-space:pre\">") + trace.original.toHtmlEscaped();
    for (std::size_t k = 0; k < trace.steps.size(); ++k) {
        html += QStringLiteral("<br>%1. ").arg(k + 1) + StepHtml(trace.steps[k], colours);
        for (const QString& source : trace.steps[k].sources) {
            html += QStringLiteral("<br>    ") + source.toHtmlEscaped();
        }
    }
    return html + QStringLiteral("</p>");
}

} // namespace quorvel
