#include "editor/example_list.hpp"

#include "editor/trace_html.hpp"

#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QToolTip>
#include <algorithm>

namespace quorvel {

void ExampleModel::SetSource(const PreviewSource* source) {
    beginResetModel();
    source_ = source;
    count_ = 0;
    marks_.clear();
    endResetModel();
}

void ExampleModel::SetLines(int count) {
    beginResetModel();
    count_ = source_ != nullptr ? std::max(count, 0) : 0;
    marks_.clear();
    problem_.clear();
    endResetModel();
}

void ExampleModel::SetProblem(const QString& why) {
    beginResetModel();
    count_ = 0;
    marks_.clear();
    problem_ = why;
    endResetModel();
}

QString ExampleModel::Line(int line) const {
    return line >= 0 && line < count_ ? source_->PreviewedName(line) : QString();
}

std::optional<NameTrace> ExampleModel::Trace(int line) const {
    return line >= 0 && line < count_ ? source_->Trace(line) : std::nullopt;
}

void ExampleModel::SetMarks(const std::vector<ExampleMark>& marks) {
    const bool hadMarks = !marks_.empty();
    // Only the marked lines, in line order, the last mark of a line kept: a preview
    // of a million names has few.
    marks_.clear();
    for (const ExampleMark& mark : marks) {
        if (mark.line >= 0 && mark.line < count_) {
            marks_.push_back(mark);
        }
    }
    std::stable_sort(marks_.begin(), marks_.end(),
                     [](const ExampleMark& a, const ExampleMark& b) { return a.line < b.line; });
    const auto last =
        std::unique(marks_.rbegin(), marks_.rend(),
                    [](const ExampleMark& a, const ExampleMark& b) { return a.line == b.line; });
    marks_.erase(marks_.begin(), last.base());
    if (count_ > 0 && (hadMarks || !marks_.empty())) {
        emit dataChanged(index(0), index(count_ - 1), {Qt::ForegroundRole, Qt::ToolTipRole});
    }
}

void ExampleModel::SetMarkColours(const QColor& conflict, const QColor& warning) {
    conflict_ = conflict;
    warning_ = warning;
    if (!problem_.isEmpty()) {
        emit dataChanged(index(0), index(0), {Qt::ForegroundRole});
    } else if (count_ > 0 && !marks_.empty()) {
        emit dataChanged(index(0), index(count_ - 1), {Qt::ForegroundRole});
    }
}

const ExampleMark* ExampleModel::MarkOf(int line) const {
    const auto it = std::lower_bound(marks_.begin(), marks_.end(), line,
                                     [](const ExampleMark& mark, int l) { return mark.line < l; });
    return it != marks_.end() && it->line == line ? &*it : nullptr;
}

int ExampleModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return problem_.isEmpty() ? count_ : 1;
}

QVariant ExampleModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (!problem_.isEmpty()) {
        if (index.row() != 0) {
            return {};
        }
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
            return problem_;
        }
        if (role == Qt::ForegroundRole) {
            return conflict_;
        }
        return {};
    }
    if (index.row() >= count_) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return source_->PreviewedName(index.row());
    }
    const ExampleMark* mark = MarkOf(index.row());
    if (mark == nullptr) {
        return {};
    }
    if (role == Qt::ForegroundRole) {
        return mark->conflict ? conflict_ : warning_;
    }
    if (role == Qt::ToolTipRole) {
        return mark->reason;
    }
    return {};
}

TExampleList::TExampleList(QWidget* parent) : QListView(parent) {
    setModel(&model_);
    setUniformItemSizes(true);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTextElideMode(Qt::ElideNone);
}

void TExampleList::SetSource(const PreviewSource* source) {
    model_.SetSource(source);
}

void TExampleList::clear() {
    model_.SetLines(0);
}

void TExampleList::SetLines(int count) {
    model_.SetLines(count);
}

void TExampleList::SetColours(const ExampleColours& colours) {
    colours_ = colours;
    model_.SetMarkColours(colours.conflict, colours.warning);
}

QString TExampleList::toPlainText() const {
    QStringList lines;
    lines.reserve(model_.LineCount());
    for (int line = 0; line < model_.LineCount(); ++line) {
        lines.push_back(model_.Line(line));
    }
    return lines.join(QLatin1Char('\n'));
}

bool TExampleList::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QListView::viewportEvent(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    QString text;
    if (index.isValid()) {
        const QString reason = index.data(Qt::ToolTipRole).toString();
        if (!reason.isEmpty()) {
            text = QStringLiteral("<p><b>") + reason.toHtmlEscaped() + QStringLiteral("</b></p>");
        }
        if (const std::optional<NameTrace> trace = model_.Trace(index.row())) {
            text += TraceHtml(*trace, colours_.trace);
        }
    }
    if (!text.isEmpty() && colours_.tipText.isValid()) {
        text = QStringLiteral("<div style=\"color:%1\">").arg(colours_.tipText.name()) + text +
               QStringLiteral("</div>");
    }
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
    }
    return true;
}

void TExampleList::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QModelIndexList rows = selectionModel()->selectedRows();
        std::sort(rows.begin(), rows.end());
        QStringList lines;
        for (const QModelIndex& row : rows) {
            lines.push_back(row.data().toString());
        }
        QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
        return;
    }
    QListView::keyPressEvent(event);
}

} // namespace quorvel
