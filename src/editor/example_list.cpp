#include "editor/example_list.hpp"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <algorithm>

namespace quorvel {

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

void TExampleList::clear() {
    model_.setStringList({});
}

void TExampleList::SetLines(QStringList lines) {
    model_.setStringList(std::move(lines));
}

QString TExampleList::toPlainText() const {
    return model_.stringList().join(QLatin1Char('\n'));
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
