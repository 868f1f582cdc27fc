#include "browser/folder_tree.hpp"

#include <QDir>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QMouseEvent>
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

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
    std::sort(names.begin(), names.end(), [](const QByteArray& a, const QByteArray& b) {
        return QString::fromUtf8(a).compare(QString::fromUtf8(b), Qt::CaseInsensitive) < 0;
    });
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

    // The two roots by what they are: the home folder under its caption, and "/".
    home_ = AddFolder(nullptr, QByteArray(), QFile::encodeName(QDir::homePath()));
    home_->setIcon(0, QIcon::fromTheme(QStringLiteral("user-home"), home_->icon(0)));
    SetHomeCaption(QStringLiteral("Dossier personnel"));
    root_ = AddFolder(nullptr, "/", "/");
    root_->setIcon(0, QIcon::fromTheme(QStringLiteral("drive-harddisk"), root_->icon(0)));
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { Populate(item); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this] { emit FolderChanged(); });
}

QTreeWidgetItem* TFolderTree::AddFolder(QTreeWidgetItem* parent, const QByteArray& name,
                                        const QByteArray& path) {
    static const QIcon folderIcon = QFileIconProvider().icon(QAbstractFileIconProvider::Folder);
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
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
    for (const QByteArray& name : SubFolders(path)) {
        AddFolder(item, name, ChildPath(path, name));
    }
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
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
