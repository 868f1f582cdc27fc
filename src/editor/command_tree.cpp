#include "editor/command_tree.hpp"

#include "bridge/qt_text.hpp"
#include "engine/catalogue.hpp"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolTip>

namespace quorvel {

TCommandTree::TCommandTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    QTreeWidgetItem* group = nullptr;
    for (const CommandNode& node : CommandNodes()) {
        auto* item = node.level == 0 ? new QTreeWidgetItem(this) : new QTreeWidgetItem(group);
        item->setText(0, ToQString(node.caption));
        if (node.level == 0) {
            group = item;
        }
    }
    expandAll();
    // Captions are shown whole, with a scroll bar when the tree is narrower.
    setTextElideMode(Qt::ElideNone);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

bool TCommandTree::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (const QTreeWidgetItem* item = itemAt(help->pos())) {
            QToolTip::showText(help->globalPos(), item->text(0), viewport());
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QTreeWidget::viewportEvent(event);
}

void TCommandTree::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QTreeWidgetItem* node = currentItem();
    if (node == nullptr || held != Qt::NoModifier || (!enter && event->key() != Qt::Key_Insert)) {
        QTreeWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (node->parent() != nullptr) {
        emit commandChosen(NodeNumber(node));
    } else if (enter) {
        node->setExpanded(!node->isExpanded());
    }
}

void TCommandTree::mouseDoubleClickEvent(QMouseEvent* event) {
    // A group opens or closes as a tree's nodes do; a command is chosen.
    QTreeWidget::mouseDoubleClickEvent(event);
    const QTreeWidgetItem* node = itemAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && node != nullptr && node->parent() != nullptr) {
        emit commandChosen(NodeNumber(node));
    }
}

QList<QTreeWidgetItem*> TCommandTree::Nodes() const {
    QList<QTreeWidgetItem*> nodes;
    for (int g = 0; g < topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = topLevelItem(g);
        nodes.push_back(group);
        for (int c = 0; c < group->childCount(); ++c) {
            nodes.push_back(group->child(c));
        }
    }
    return nodes;
}

int TCommandTree::NodeNumber(const QTreeWidgetItem* item) const {
    return static_cast<int>(Nodes().indexOf(const_cast<QTreeWidgetItem*>(item)));
}

QTreeWidgetItem* TCommandTree::Node(int number) const {
    const QList<QTreeWidgetItem*> nodes = Nodes();
    return number >= 0 && number < nodes.size() ? nodes[number] : nullptr;
}

int CommandOfDrag(const QMimeData* payload) {
    if (payload == nullptr || !payload->hasFormat(QString::fromLatin1(kCommandMimeType))) {
        return -1;
    }
    bool ok = false;
    const int number = payload->data(QString::fromLatin1(kCommandMimeType)).toInt(&ok);
    return ok && number >= 0 ? number : -1;
}

std::optional<Text> TCommandTree::ScriptLineOf(int number) const {
    const QTreeWidgetItem* node = Node(number);
    if (node == nullptr || node->parent() == nullptr) {
        return std::nullopt;
    }
    return MakeScriptLine(number, FromQString(node->parent()->text(0)), FromQString(node->text(0)));
}

QStringList TCommandTree::mimeTypes() const {
    return {QString::fromLatin1(kCommandMimeType)};
}

QMimeData* TCommandTree::mimeData(const QList<QTreeWidgetItem*>& items) const {
    if (items.isEmpty()) {
        return nullptr;
    }
    const QTreeWidgetItem* node = items.front();
    auto* drag = new QMimeData; // handed over to the drag, which owns it
    if (node->parent() != nullptr) {
        drag->setData(QString::fromLatin1(kCommandMimeType), QByteArray::number(NodeNumber(node)));
    }
    drag->setText(node->text(0));
    return drag;
}

} // namespace quorvel
