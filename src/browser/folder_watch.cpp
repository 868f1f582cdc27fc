#include "browser/folder_watch.hpp"

#include "engine/descriptor_io.hpp"

#include <QSocketNotifier>
#include <QTimer>
#include <array>
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>
#include <utility>

namespace quorvel {

namespace {

// What changes the tree: folders coming and going inside, the folder itself going.
constexpr std::uint32_t kEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr int kSettleMs = 100;

} // namespace

FolderWatch::FolderWatch(QObject* parent) : QObject(parent) {
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(settle_, &QTimer::timeout, this, &FolderWatch::Tell);
    if (fd_ >= 0) {
        notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &FolderWatch::ReadEvents);
    }
}

FolderWatch::~FolderWatch() {
    if (fd_ >= 0) {
        notifier_->setEnabled(false); // before the descriptor it listens to is closed
        ::close(fd_);
    }
}

bool FolderWatch::Watch(const QByteArray& path) {
    if (fd_ < 0 || path.isEmpty()) {
        return false;
    }
    if (watches_.contains(path)) {
        return true;
    }
    const int wd = ::inotify_add_watch(fd_, path.constData(), kEvents);
    if (wd < 0) {
        return false;
    }
    watches_.insert(path, wd);
    paths_[wd].push_back(path);
    return true;
}

void FolderWatch::Unwatch(const QByteArray& path) {
    const auto it = watches_.constFind(path);
    if (it == watches_.constEnd()) {
        return;
    }
    const int wd = it.value();
    watches_.erase(it);
    QList<QByteArray>& shared = paths_[wd];
    shared.removeAll(path);
    if (shared.isEmpty()) {
        paths_.remove(wd);
        ::inotify_rm_watch(fd_, wd);
    }
    pending_.remove(path);
}

void FolderWatch::ReadEvents() {
    alignas(inotify_event) std::array<char, 16384> buffer{};
    for (;;) {
        const ssize_t n = ReadSome(fd_, buffer.data(), buffer.size());
        if (n <= 0) {
            break;
        }
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            inotify_event event{};
            std::memcpy(&event, buffer.data() + at, sizeof event);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
            if ((event.mask & IN_Q_OVERFLOW) != 0) {
                // Some events were lost: every folder may have changed.
                for (auto it = watches_.constBegin(); it != watches_.constEnd(); ++it) {
                    pending_.insert(it.key());
                }
                continue;
            }
            const auto paths = paths_.constFind(event.wd);
            if (paths == paths_.constEnd()) {
                continue;
            }
            const bool self = (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) != 0;
            if (self || (event.mask & IN_ISDIR) != 0) {
                for (const QByteArray& path : paths.value()) {
                    pending_.insert(path);
                }
            }
            if ((event.mask & IN_IGNORED) != 0) {
                // The system dropped the watch (the folder is gone).
                for (const QByteArray& path : paths.value()) {
                    watches_.remove(path);
                }
                paths_.erase(paths);
            }
        }
    }
    // The first change starts the wait and later ones ride along: restarting it on
    // each event would tell nothing for as long as a busy folder keeps changing.
    if (!pending_.isEmpty() && !settle_->isActive()) {
        settle_->start();
    }
}

void FolderWatch::Tell() {
    const QSet<QByteArray> told = std::exchange(pending_, {});
    for (const QByteArray& path : told) {
        emit changed(path);
    }
}

} // namespace quorvel
