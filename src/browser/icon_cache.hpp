// Pictures of file types for the file grid: three built-in images (0 a blank
// document, 1 a folder, 2 an application window) followed by the icons found for
// file types, each looked up once and kept for the program's life.
#pragma once

#include <QHash>
#include <QPixmap>
#include <QString>
#include <vector>

namespace quorvel {

class TIconCache {
public:
    static constexpr int kSize = 32;
    static constexpr int kBuiltIn = 3;
    static constexpr int kFolderImage = 1;

    TIconCache();

    // Image index for the file at `path` (its name is enough, the disk is read only
    // for an ".ico" file's own picture); 0 when no icon is found.
    int FileIconIndex(const QString& path);
    // Image index of the icon of a file type given by its upper-case extension with
    // its dot (".TXT", or "" for names without one); -1 when none is found.
    int TypeIconIndex(const QString& extension);

    const QPixmap& Image(int index) const;
    int Count() const { return static_cast<int>(images_.size()); }

private:
    int Append(const QString& key, const QPixmap& pixmap);

    std::vector<QPixmap> images_;
    QHash<QString, int> keys_; // upper-case extension, or an ".ico" file's path -> image index
};

// The program-wide cache, created on first use (after the application object).
TIconCache& IconKeys();

// The upper-case extension of a file name: from its last "." on, when that dot
// comes after the last "/"; otherwise empty.
QString UpperExtension(const QString& path);

} // namespace quorvel
