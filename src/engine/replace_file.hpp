// Replacing a file's content as one step: the new content is written to a new file
// beside the old one and renamed over it, so that a failure at any point leaves the
// old file as it was, and a reader sees either the old content or the new one.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// Makes `bytes` the whole content of the file `path`, never truncating it in place.
// The new content goes to a hidden temporary file of the same folder, created with
// O_EXCL and synced to disk, which is then renamed over the old file. The new file
// keeps the old one's permission bits (and its owner and group where the rights
// allow); a new file gets 0666 less the umask. A `path` that is a symbolic link
// keeps being one: the file written is the one at the end of its links, beside
// which the temporary file is made. On failure nothing is left behind and the old
// file is untouched; throws FileError "Impossible de créer le fichier %s" when
// there was no file and none could be made (or something that is not a regular
// file is in the way), "Impossible d'écrire dans %s" otherwise, with `path` for %s.
void ReplaceFileContent(const std::string& path, std::string_view bytes);

} // namespace quorvel
