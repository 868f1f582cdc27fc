#include "browser/icon_cache.hpp"

#include <QFileIconProvider>
#include <QIcon>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>

namespace quorvel {

namespace {

QPixmap BlankDocument(bool withWindow) {
    QPixmap pixmap(TIconCache::kSize, TIconCache::kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF sheet({{6, 2}, {20, 2}, {26, 8}, {26, 30}, {6, 30}});
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
    p.setBrush(Qt::white);
    p.drawPolygon(sheet);
    p.drawLine(QPointF(20, 2), QPointF(20, 8));
    p.drawLine(QPointF(20, 8), QPointF(26, 8));
    if (withWindow) {
        p.setBrush(QColor(0x31, 0x6A, 0xC5));
        p.drawRect(QRectF(10, 15, 12, 10));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(11, 18, 10, 6));
    }
    return pixmap;
}

QPixmap Folder() {
    QPixmap pixmap(TIconCache::kSize, TIconCache::kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xB0, 0x88, 0x20), 1));
    p.setBrush(QColor(0xF5, 0xC8, 0x42));
    p.drawPolygon(QPolygonF({{2, 8}, {12, 8}, {15, 11}, {30, 11}, {30, 28}, {2, 28}}));
    p.setBrush(QColor(0xFB, 0xDC, 0x6E));
    p.drawRect(QRectF(2, 14, 28, 14));
    return pixmap;
}

QPixmap ApplicationWindow() {
    QPixmap pixmap(TIconCache::kSize, TIconCache::kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(0x20, 0x40, 0x80), 1));
    p.setBrush(QColor(0x31, 0x6A, 0xC5));
    p.drawRect(QRectF(3.5, 5.5, 25, 21));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5.5, 10.5, 21, 14));
    return pixmap;
}

QPixmap ToPixmap(const QIcon& icon) {
    return icon.isNull() ? QPixmap() : icon.pixmap(TIconCache::kSize, TIconCache::kSize);
}

} // namespace

TIconCache::TIconCache() {
    images_.push_back(BlankDocument(true));
    images_.push_back(Folder());
    images_.push_back(ApplicationWindow());
}

const QPixmap& TIconCache::Image(int index) const {
    return images_[static_cast<std::size_t>(index >= 0 && index < Count() ? index : 0)];
}

int TIconCache::Append(const QString& key, const QPixmap& pixmap) {
    images_.push_back(pixmap);
    const int index = Count() - 1;
    keys_.insert(key, index);
    return index;
}

QString UpperExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf('.');
    if (dot < 0 || dot < path.lastIndexOf('/')) {
        return {};
    }
    return path.mid(dot).toUpper();
}

int TIconCache::TypeIconIndex(const QString& extension) {
    if (const auto it = keys_.constFind(extension); it != keys_.constEnd()) {
        return it.value();
    }
    // The type is told by the name alone: nothing on disk is read.
    static const QMimeDatabase mimes;
    const QMimeType type =
        mimes.mimeTypeForFile(QStringLiteral("x") + extension.toLower(), QMimeDatabase::MatchExtension);
    QPixmap pixmap = ToPixmap(QIcon::fromTheme(type.iconName()));
    if (pixmap.isNull()) {
        pixmap = ToPixmap(QIcon::fromTheme(type.genericIconName()));
    }
    if (pixmap.isNull()) {
        static const QFileIconProvider provider;
        pixmap = ToPixmap(provider.icon(QAbstractFileIconProvider::File));
    }
    return pixmap.isNull() ? -1 : Append(extension, pixmap);
}

int TIconCache::FileIconIndex(const QString& path) {
    const QString extension = UpperExtension(path);
    int index = -1;
    if (extension != QLatin1String(".ICO")) {
        index = TypeIconIndex(extension);
    } else if (const auto it = keys_.constFind(path); it != keys_.constEnd()) {
        index = it.value();
    } else {
        // An icon file shows its own picture.
        QImageReader reader(path);
        reader.setScaledSize(QSize(kSize, kSize));
        const QImage image = reader.read();
        if (!image.isNull()) {
            index = Append(path, QPixmap::fromImage(image));
        } else {
            keys_.insert(path, 0); // unreadable: the blank document, without reading it again
        }
    }
    return index < 0 ? 0 : index;
}

TIconCache& IconKeys() {
    static TIconCache cache;
    return cache;
}

} // namespace quorvel
