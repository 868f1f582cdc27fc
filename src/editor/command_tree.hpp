// The command tree: four groups and their commands, numbered by their position
// among all nodes. A command is dragged from it onto the script view, or chosen
// by Enter, Insert or a double click, which append it as a drop does.
#pragma once

#include "engine/text.hpp"

#include <QTreeWidget>
#include <optional>

namespace quorvel {

// What the tree puts into the drag of a command: its node number, under this type.
// A group is dragged as plain text only, which the script view refuses.
inline constexpr char kCommandMimeType[] = "application/x-quorvel-command-node";

// The command node a drag names, or -1 when it names none.
int CommandOfDrag(const QMimeData* payload);

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

    // The script line of command node `number`, made of the captions the tree shows
    // now; nothing for a group or a number the tree lacks.
    std::optional<Text> ScriptLineOf(int number) const;

signals:
    // Command node `number` was chosen by Enter, Insert or a double click: it goes
    // to the end of the script as a dropped command does. Groups are never chosen.
    void commandChosen(int number);

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
    // Enter or Insert on a command chooses it; Enter on a group opens or closes it.
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // The whole caption of the node under the mouse, as a tooltip.
    bool viewportEvent(QEvent* event) override;
};

} // namespace quorvel
