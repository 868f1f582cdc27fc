#include "browser/dropped_files.hpp"

#include <QMimeData>
#include <algorithm>

namespace quorvel {

namespace {

// The path of one "file:" URI, still percent-encoded; empty for any other URI.
QByteArray EncodedPath(QByteArray uri) {
    const QByteArray scheme = uri.left(5).toLower();
    if (scheme != "file:") {
        return {};
    }
    uri.remove(0, 5);
    if (uri.startsWith("//")) {
        // An authority: the local host alone.
        const qsizetype slash = uri.indexOf('/', 2);
        if (slash < 0) {
            return {};
        }
        const QByteArray host = uri.mid(2, slash - 2).toLower();
        if (!host.isEmpty() && host != "localhost") {
            return {};
        }
        uri.remove(0, slash);
    }
    if (!uri.startsWith('/')) {
        return {};
    }
    // A query or a fragment is no part of the path ("?" and "#" in a name are encoded).
    qsizetype end = uri.size();
    for (const char mark : {'?', '#'}) {
        if (const qsizetype at = uri.indexOf(mark); at >= 0) {
            end = std::min(end, at);
        }
    }
    return uri.left(end);
}

} // namespace

std::vector<std::string> LocalFilesOfUriList(const QByteArray& list) {
    std::vector<std::string> paths;
    for (QByteArray line : list.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        const QByteArray encoded = EncodedPath(line);
        if (encoded.isEmpty()) {
            continue;
        }
        const QByteArray path = QByteArray::fromPercentEncoding(encoded);
        // A NUL names no file.
        if (!path.contains('\0')) {
            paths.push_back(path.toStdString());
        }
    }
    return paths;
}

std::vector<std::string> DroppedFiles(const QMimeData& data) {
    const QString format = QStringLiteral("text/uri-list");
    return data.hasFormat(format) ? LocalFilesOfUriList(data.data(format)) : std::vector<std::string>();
}

} // namespace quorvel
