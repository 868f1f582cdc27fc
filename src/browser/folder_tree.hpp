// The folder tree: the file system's folders, hidden ones included, under two
// roots, the user's home folder and "/". Children are read when a folder is first
// expanded, and read again when it is expanded again, when a folder is made,
// removed or renamed in it (FolderWatch), and on Refresh.
#pragma once

#include <QTreeWidget>

class QTreeWidgetItem;

namespace quorvel {

class TFolderTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit TFolderTree(QWidget* parent = nullptr);
    // The caption of the home folder's root ("Dossier personnel"); its path is its tooltip.
    void SetHomeCaption(const QString& caption);

    // Path of the selected folder, as the exact bytes the file system uses ("/" for
    // the root, no trailing "/" otherwise); empty when no folder is selected.
    QByteArray CurrentFolder() const;
    // The same path as text, for display.
    QString CurrentPath() const;
    // Opens the tree down to `path` and selects it; false when it is not a folder
    // under one of the roots.
    bool SelectPath(const QByteArray& path);

public slots:
    // Reads again every folder the tree has read.
    void Refresh();

signals:
    // The selected folder changed.
    void FolderChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Populate(QTreeWidgetItem* item);
    // Brings the children of a folder read before in line with the disk.
    void Reread(QTreeWidgetItem* item);
    void Reread(const QByteArray& path);
    // Removes `item` and what is below it, and stops watching them.
    void Forget(QTreeWidgetItem* item);
    QTreeWidgetItem* AddFolder(QTreeWidgetItem* parent, const QByteArray& name, const QByteArray& path,
                               int at = -1);
    class FolderWatch* watch_ = nullptr;
    QTreeWidgetItem* home_ = nullptr;
    QTreeWidgetItem* root_ = nullptr;
};

} // namespace quorvel
