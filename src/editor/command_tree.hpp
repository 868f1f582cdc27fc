// The command tree: four groups and their commands, numbered by their position
// among all nodes. A command is dragged from it onto the script view.
#pragma once

#include <QTreeWidget>

namespace quorvel {

class TCommandTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit TCommandTree(QWidget* parent = nullptr);

    // Absolute index of a node in display order (groups included); -1 for none.
    int NodeNumber(const QTreeWidgetItem* item) const;
    // The node with that index, or nullptr.
    QTreeWidgetItem* Node(int number) const;
    // Every node in display order.
    QList<QTreeWidgetItem*> Nodes() const;

    // The node named by what this tree put into a drag, or nullptr.
    QTreeWidgetItem* NodeOfDrag(const QMimeData* payload) const;

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
    // The whole caption of the node under the mouse, as a tooltip.
    bool viewportEvent(QEvent* event) override;
};

} // namespace quorvel
