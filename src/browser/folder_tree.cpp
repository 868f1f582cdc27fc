#include "browser/folder_tree.hpp"

#include "browser/folder_watch.hpp"

#include <QDir>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSet>
#include <QTreeWidgetItemIterator>
#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace quorvel {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kPopulatedRole = Qt::UserRole + 1;

QByteArray ChildPath(const QByteArray& parent, const QByteArray& name) {
    return parent.endsWith('/') ? parent + name : parent + '/' + name;
}

bool IsFolder(const QByteArray& path, unsigned char type) {
    if (type == DT_DIR) {
        return true;
    }
    if (type != DT_LNK && type != DT_UNKNOWN) {
        return false;
    }
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FolderNameLess(const QByteArray& a, const QByteArray& b) {
    return QString::fromUtf8(a).compare(QString::fromUtf8(b), Qt::CaseInsensitive) < 0;
}

// Names (exact bytes) of the sub-folders of `encoded`, sorted, hidden ones included.
QList<QByteArray> SubFolders(const QByteArray& encoded) {
    QList<QByteArray> names;
    DIR* dir = ::opendir(encoded.constData());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        const QByteArray full = encoded.endsWith('/') ? encoded + name : encoded + '/' + name;
        if (IsFolder(full, entry->d_type)) {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), FolderNameLess);
    return names;
}

} // namespace

TFolderTree::TFolderTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::SingleSelection);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    watch_ = new FolderWatch(this);
    connect(watch_, &FolderWatch::changed, this, [this](const QByteArray& path) { Reread(path); });

    // The two roots by what they are: the home folder under its caption, and "/".
    home_ = AddFolder(nullptr, QByteArray(), QFile::encodeName(QDir::homePath()));
    home_->setIcon(0, QIcon::fromTheme(QStringLiteral("user-home"), home_->icon(0)));
    SetHomeCaption(QStringLiteral("Dossier personnel"));
    root_ = AddFolder(nullptr, "/", "/");
    root_->setIcon(0, QIcon::fromTheme(QStringLiteral("drive-harddisk"), root_->icon(0)));
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (item->data(0, kPopulatedRole).toBool()) {
            Reread(item); // what changed while no watch could tell
        } else {
            Populate(item);
        }
    });
    connect(this, &QTreeWidget::currentItemChanged, this, [this] { emit FolderChanged(); });
}

QTreeWidgetItem* TFolderTree::AddFolder(QTreeWidgetItem* parent, const QByteArray& name,
                                        const QByteArray& path, int at) {
    static const QIcon folderIcon = QFileIconProvider().icon(QAbstractFileIconProvider::Folder);
    QTreeWidgetItem* item = nullptr;
    if (parent == nullptr) {
        item = new QTreeWidgetItem(this); // owned by the tree
    } else if (at >= 0) {
        item = new QTreeWidgetItem();
        parent->insertChild(at, item); // owned by its parent from now on
    } else {
        item = new QTreeWidgetItem(parent);
    }
    item->setText(0, QString::fromUtf8(name));
    item->setIcon(0, folderIcon);
    item->setData(0, kPathRole, path);
    item->setData(0, kPopulatedRole, false);
    // Offer the expander until the folder is read; it goes if the folder has none.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void TFolderTree::SetHomeCaption(const QString& caption) {
    home_->setText(0, caption);
    home_->setToolTip(0, QDir::homePath());
}

void TFolderTree::Populate(QTreeWidgetItem* item) {
    if (item->data(0, kPopulatedRole).toBool()) {
        return;
    }
    item->setData(0, kPopulatedRole, true);
    const QByteArray path = item->data(0, kPathRole).toByteArray();
    watch_->Watch(path);
    for (const QByteArray& name : SubFolders(path)) {
        AddFolder(item, name, ChildPath(path, name));
    }
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void TFolderTree::Reread(QTreeWidgetItem* item) {
    const QByteArray path = item->data(0, kPathRole).toByteArray();
    const QList<QByteArray> names = SubFolders(path);
    watch_->Watch(path); // again, if the folder was made again under the same path
    QSet<QByteArray> wanted;
    for (const QByteArray& name : names) {
        wanted.insert(ChildPath(path, name));
    }
    // The folders gone go, with what was read below them; those that stay keep
    // what was read below them, and the new ones take their places in the order.
    for (int child = item->childCount() - 1; child >= 0; --child) {
        if (!wanted.contains(item->child(child)->data(0, kPathRole).toByteArray())) {
            Forget(item->child(child));
        }
    }
    for (int i = 0; i < names.size(); ++i) {
        const QByteArray full = ChildPath(path, names[i]);
        if (i < item->childCount() && item->child(i)->data(0, kPathRole).toByteArray() == full) {
            continue;
        }
        int found = -1;
        for (int k = i + 1; k < item->childCount() && found < 0; ++k) {
            if (item->child(k)->data(0, kPathRole).toByteArray() == full) {
                found = k;
            }
        }
        if (found >= 0) {
            item->insertChild(i, item->takeChild(found)); // names that sort alike came in another order
        } else {
            AddFolder(item, names[i], full, i);
        }
    }
}

void TFolderTree::Reread(const QByteArray& path) {
    std::vector<QTreeWidgetItem*> read;
    for (QTreeWidgetItemIterator it(this); *it != nullptr; ++it) {
        if ((*it)->data(0, kPathRole).toByteArray() == path && (*it)->data(0, kPopulatedRole).toBool()) {
            read.push_back(*it);
        }
    }
    for (QTreeWidgetItem* item : read) {
        Reread(item);
    }
}

void TFolderTree::Refresh() {
    // Parents before children: a folder gone takes its sub-folders with it.
    std::vector<QByteArray> paths;
    for (QTreeWidgetItemIterator it(this); *it != nullptr; ++it) {
        if ((*it)->data(0, kPopulatedRole).toBool()) {
            paths.push_back((*it)->data(0, kPathRole).toByteArray());
        }
    }
    for (const QByteArray& path : paths) {
        Reread(path);
    }
}

void TFolderTree::Forget(QTreeWidgetItem* item) {
    QTreeWidgetItem* parent = item->parent();
    // The folder shown goes: its parent is shown instead.
    for (QTreeWidgetItem* shown = currentItem(); shown != nullptr; shown = shown->parent()) {
        if (shown == item) {
            setCurrentItem(parent);
            break;
        }
    }
    std::vector<QByteArray> watched;
    const auto collect = [&watched](const auto& self, const QTreeWidgetItem* node) -> void {
        if (node->data(0, kPopulatedRole).toBool()) {
            watched.push_back(node->data(0, kPathRole).toByteArray());
        }
        for (int i = 0; i < node->childCount(); ++i) {
            self(self, node->child(i));
        }
    };
    collect(collect, item);
    const std::unique_ptr<QTreeWidgetItem> gone(parent != nullptr
                                                    ? parent->takeChild(parent->indexOfChild(item))
                                                    : takeTopLevelItem(indexOfTopLevelItem(item)));
    // A folder may show twice (the home folder is also under "/"): its watch stays
    // while one of them is left.
    for (const QByteArray& path : watched) {
        bool kept = false;
        for (QTreeWidgetItemIterator it(this); *it != nullptr && !kept; ++it) {
            kept = (*it)->data(0, kPopulatedRole).toBool() && (*it)->data(0, kPathRole).toByteArray() == path;
        }
        if (!kept) {
            watch_->Unwatch(path);
        }
    }
}

QByteArray TFolderTree::CurrentFolder() const {
    const QTreeWidgetItem* item = currentItem();
    return item ? item->data(0, kPathRole).toByteArray() : QByteArray();
}

QString TFolderTree::CurrentPath() const {
    return QString::fromUtf8(CurrentFolder());
}

bool TFolderTree::SelectPath(const QByteArray& wanted) {
    QByteArray path = wanted;
    while (path.size() > 1 && path.endsWith('/')) {
        path.chop(1);
    }
    for (QTreeWidgetItem* root : {home_, root_}) {
        const QByteArray rootPath = root->data(0, kPathRole).toByteArray();
        if (path != rootPath && !path.startsWith(rootPath.endsWith('/') ? rootPath : rootPath + '/')) {
            continue;
        }
        QTreeWidgetItem* item = root;
        const QList<QByteArray> parts = path.mid(rootPath.size()).split('/');
        for (const QByteArray& part : parts) {
            if (part.isEmpty()) {
                continue;
            }
            Populate(item);
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; i < item->childCount(); ++i) {
                if (item->child(i)->data(0, kPathRole).toByteArray() ==
                    ChildPath(item->data(0, kPathRole).toByteArray(), part)) {
                    next = item->child(i);
                    break;
                }
            }
            if (next == nullptr) {
                return false;
            }
            item->setExpanded(true);
            item = next;
        }
        setCurrentItem(item);
        scrollToItem(item);
        return true;
    }
    return false;
}

void TFolderTree::mousePressEvent(QMouseEvent* event) {
    // A right click selects the folder under the pointer, as a left click does.
    if (event->button() == Qt::RightButton) {
        if (QTreeWidgetItem* item = itemAt(event->position().toPoint())) {
            setCurrentItem(item);
        }
    }
    QTreeWidget::mousePressEvent(event);
}

} // namespace quorvel
