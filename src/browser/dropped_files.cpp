#include "browser/dropped_files.hpp"

#include "files/listing/file_uri.hpp"

#include <QMimeData>
#include <optional>
#include <string_view>

namespace quorvel {

std::vector<std::string> LocalFilesOfUriList(const QByteArray& list) {
    std::vector<std::string> paths;
    for (QByteArray line : list.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#')) {
            continue;
        }
        if (std::optional<std::string> path = LocalPathOfFileUri(
                std::string_view(line.constData(), static_cast<std::size_t>(line.size())))) {
            paths.push_back(std::move(*path));
        }
    }
    return paths;
}

std::vector<std::string> DroppedFiles(const QMimeData& data) {
    const QString format = QStringLiteral("text/uri-list");
    return data.hasFormat(format) ? LocalFilesOfUriList(data.data(format)) : std::vector<std::string>();
}

} // namespace quorvel
