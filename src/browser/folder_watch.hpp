// Hears of folders made, removed or renamed inside the folders it watches, through
// inotify. Paths are the exact bytes the file system uses, so that a folder whose
// name is not UTF-8 is watched as any other. Files coming and going are not
// heard of: a run that renames a million files in a watched folder costs nothing.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>

class QSocketNotifier;
class QTimer;

namespace quorvel {

class FolderWatch final : public QObject {
    Q_OBJECT
public:
    explicit FolderWatch(QObject* parent = nullptr);
    ~FolderWatch() override;
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Whether the system gave an inotify instance; without one nothing is heard.
    bool Available() const { return fd_ >= 0; }
    // Starts watching `path`; false when it cannot be watched (gone, no rights, no
    // watches left). Watching a path twice is watching it once.
    bool Watch(const QByteArray& path);
    void Unwatch(const QByteArray& path);
    bool IsWatched(const QByteArray& path) const { return watches_.contains(path); }

signals:
    // A folder was made, removed or renamed in `path`, or `path` itself went. Changes
    // that come in a burst are told once, a moment after the last.
    void changed(const QByteArray& path);

private:
    void ReadEvents();
    void Tell();
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* settle_ = nullptr;
    QHash<QByteArray, int> watches_;      // path -> watch descriptor
    QHash<int, QList<QByteArray>> paths_; // watch descriptor -> paths (a folder and its links share one)
    QSet<QByteArray> pending_;            // changed, not yet told
};

} // namespace quorvel
