// The files a file manager drops: the local paths a "text/uri-list" names, as the
// exact bytes of their names.
#pragma once

#include <QByteArray>
#include <string>
#include <vector>

class QMimeData;

namespace quorvel {

// The paths of the "file:" URIs of a text/uri-list (one URI a line, lines that
// start with "#" are comments), in order: those with no host or "localhost", each
// path percent-decoded byte for byte, so that a name that is not UTF-8 comes back
// as it is on the disk. Other URIs are left out.
std::vector<std::string> LocalFilesOfUriList(const QByteArray& list);

// The same, of what a drag carries; nothing when it carries no URI list.
std::vector<std::string> DroppedFiles(const QMimeData& data);

} // namespace quorvel
